#pragma once
// A program's console: its answers read from standard input and its dialogue
// written to standard output, through one heap block that holds both buffers,
// so that a small stack cannot break the program.
//
// A program opens its console first and closes it on every way out: closing
// writes what is left, hands back to a seekable standard input the bytes read
// ahead but never used, and turns a failed write, a read error or a failed
// hand-back into exit status 1 with a line for each on standard error, the
// only channel left then.
#include "entrada.h"
#include "saida.h"

#include <cstdint>
#include <string_view>

struct Console {
    const char *programa; // names the program in the messages on standard error
    Saida saida;
    Entrada entrada; // empties saida before it waits
};

// Readies console to read descritor_entrada and write descritor_saida.
void inicia_console(Console *console, const char *programa, int descritor_entrada,
                    int descritor_saida);

// A new console over standard input and output, or null, after writing
// "Erro:\n\tConsole nao foi criado\n" to standard output, when its block
// cannot be allocated.
[[nodiscard]] Console *abre_console(const char *programa);

// Empties and closes the output, moves a seekable standard input back to just
// after the last byte used, and frees the console. Returns status, or
// EXIT_FAILURE after saying on standard error that the output could not be
// written, that the input could not be read (or, a seekable one, moved back),
// or both, in that order. A null console gives EXIT_FAILURE.
[[nodiscard]] int fecha_console(Console *console, int status);

// Writes pergunta and reads a number, asking again while the answer is not a
// valid one. Gives ok with the number in *numero, fim or erro.
[[nodiscard]] Leitura pergunta_numero(Console *console, std::string_view pergunta,
                                      std::int32_t *numero);
