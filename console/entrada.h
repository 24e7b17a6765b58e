#pragma once
// Line-at-a-time reading of a person's answers, shared by the console programs.
//
// An Entrada reads its descriptor in large blocks and hands the bytes out one
// answer at a time. Nothing read ahead is ever thrown away, so the same lines
// typed at a terminal, sent through a pipe or read from a file are divided among
// the answers in the same way.
//
// Just before it would wait for more input, the reader empties the output it
// was given, so a prompt is always on the screen before the program waits for
// its answer; input that is already there needs no flush. A read error, or an
// output that can no longer be written, ends the reading: the person could not
// see what is asked, or answer it.
#include "saida.h"

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t TAMANHO_BLOCO_ENTRADA = std::size_t{64} * 1024;

struct Entrada {
    int descritor;          // the descriptor the answers come from
    Saida *saida;           // emptied before every wait for input; may be null
    std::size_t lido;       // bytes of bloco already handed out
    std::size_t preenchido; // bytes of bloco filled by the last read
    bool terminou;          // the end of input, or an error, was met
    int erro;               // errno of the read that failed; 0 at a plain end of input
    char bloco[TAMANHO_BLOCO_ENTRADA];
};

// The outcome of reading one answer.
enum class Leitura {
    ok,       // the answer was read and stored
    invalida, // a line was read but it is not a valid answer; nothing was stored
    fim,      // the input ended before an answer began
    erro,     // the input cannot be read, or the output written: nothing more can be asked,
              // and nothing of a line that a failed read cut short is an answer
};

// Prepares entrada to read from descritor, emptying saida (when not null)
// before each wait for input.
void inicia_entrada(Entrada *entrada, int descritor, Saida *saida);

// Reads a signed 32-bit integer the way a person answers a number prompt:
// blank space and blank lines are passed over; the line that follows must begin
// with an optional sign and at least one digit, in range. The rest of that line
// is dropped either way. Gives ok with the value stored in numero, invalida with
// numero untouched (letters, no digits, out of range), fim when the input ends
// before any character of a line other than blank space, or erro.
[[nodiscard]] Leitura le_numero(Entrada *entrada, std::int32_t *numero);

// Reads one whole line and stores at most capacidade - 1 of its bytes in destino,
// followed by a terminator; a longer line keeps a prefix that does not end in
// the middle of a UTF-8 character, and the rest is dropped. The line end is not
// stored. A last line without a line end still counts. Gives ok; fim with
// destino untouched when the input has ended; erro, destino holding no answer,
// when the input or the output failed before the line end. capacidade must be
// at least 1.
[[nodiscard]] Leitura le_linha(Entrada *entrada, char *destino, std::size_t capacidade);

// Reads one whole line and drops it. Gives ok, fim when no byte was left, or
// erro.
[[nodiscard]] Leitura descarta_linha(Entrada *entrada);

// The bytes read from the descriptor but not handed out yet.
[[nodiscard]] std::size_t bytes_nao_usados(const Entrada *entrada);
