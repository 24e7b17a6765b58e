#pragma once
// Line-at-a-time reading of a person's answers, shared by the console programs.
//
// An Entrada reads its descriptor in large blocks and hands the bytes out one
// answer at a time. Nothing read ahead is ever thrown away, so the same lines
// typed at a terminal, sent through a pipe or read from a file are divided among
// the answers in the same way.
//
// Before it waits for more input, the reader empties the output stream it was
// given, so a prompt is always on the screen before the program waits for its
// answer. Input that is already in the block needs no flush.
#include <cstddef>
#include <cstdint>
#include <cstdio>

inline constexpr std::size_t TAMANHO_BLOCO_ENTRADA = 64 * 1024;

struct Entrada {
    int descritor;    // the descriptor the answers come from
    std::FILE *saida; // emptied before every wait for input; may be null
    std::size_t lido; // bytes of bloco already handed out
    std::size_t fim;  // bytes of bloco filled by the last read
    bool terminou;    // end of input (or a read error) was seen
    char bloco[TAMANHO_BLOCO_ENTRADA];
};

// The outcome of reading one answer.
enum class Leitura {
    ok,       // the answer was read and stored
    invalida, // a line was read but it is not a valid answer; nothing was stored
    fim,      // the input ended before an answer began
};

// Prepares entrada to read from descritor, emptying saida (when not null)
// before each wait for input.
void inicia_entrada(Entrada *entrada, int descritor, std::FILE *saida);

// Reads a signed 32-bit integer the way a person answers a number prompt:
// blank space and blank lines are passed over; the line that follows must begin
// with an optional sign and at least one digit, in range. The rest of that line
// is dropped either way. Gives ok with the value stored in numero, invalida with
// numero untouched (letters, no digits, out of range), or fim when the input
// ends before any character of a line other than blank space.
[[nodiscard]] Leitura le_numero(Entrada *entrada, std::int32_t *numero);

// Reads one whole line and stores at most capacidade - 1 of its bytes in destino,
// followed by a terminator; a longer line keeps a prefix that does not end in
// the middle of a UTF-8 character, and the rest is dropped. The line end is not
// stored. A last line without a line end still counts. Gives ok, or fim with
// destino untouched when no byte at all was left. capacidade must be at least 1.
[[nodiscard]] Leitura le_linha(Entrada *entrada, char *destino, std::size_t capacidade);

// Reads one whole line and drops it. Gives ok, or fim when no byte was left.
[[nodiscard]] Leitura descarta_linha(Entrada *entrada);

// Readies a program's console: entrada reads standard input and empties
// standard output before every wait, so standard output can be fully buffered,
// at a terminal too: prompts still show in time, while long scripted sessions
// are written in blocks rather than line by line.
void inicia_console(Entrada *entrada);
