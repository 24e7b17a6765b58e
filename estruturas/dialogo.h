#pragma once
// The dialogue of the record array programs: how many records, then a number
// and a name for each, then the numbers with the even ones halved.
//
// A program runs it in two halves and obtains the array between them in its own
// way; it frees the array afterwards, whatever the second half returned. Texts
// go to the console's output; answers come from its input, one line at a time.
#include "console.h"
#include "estruturas.h"

#include <cstdint>

// Asks for the count until a signed 32-bit integer is typed, and stores it in
// *quantidade. Returns false when the input ends first (after writing an error)
// or cannot be read.
[[nodiscard]] bool pergunta_quantidade(Console *console, std::int32_t *quantidade);

// Reads the number and the name of each of the quantidade records of vetor,
// halves the even numbers and writes one result line per record. Returns the
// exit status: EXIT_SUCCESS, or EXIT_FAILURE, with no result line, when vetor
// is null (after writing an error), when the input ends before every record is
// read (after writing an error) or when it cannot be read. A quantidade of 0 or
// less reads and writes nothing and gives EXIT_SUCCESS.
[[nodiscard]] int completa_dialogo(Console *console, Estrutura *vetor, std::int32_t quantidade);
