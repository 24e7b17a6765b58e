#pragma once
// The dialogue of the record array programs: how many records, then a number
// and a name for each, then the numbers with the even ones halved.
//
// A program runs it in two halves and obtains the array between them in its own
// way; it frees the array afterwards, whatever the second half returned. Texts
// go to stdout; answers come through entrada, one line at a time.
#include "entrada.h"
#include "estruturas.h"

#include <cstdint>

// Asks for the count until a signed 32-bit integer is typed, and stores it in
// *quantidade. Returns false, after writing an error, when the input ends first.
[[nodiscard]] bool pergunta_quantidade(Entrada *entrada, std::int32_t *quantidade);

// Reads the number and the name of each of the quantidade records of vetor,
// halves the even numbers and writes one result line per record. Returns the
// exit status: EXIT_SUCCESS, or EXIT_FAILURE after an error, with no result
// line, when vetor is null or the input ends before every record is read. A
// quantidade of 0 or less reads and writes nothing and gives EXIT_SUCCESS.
[[nodiscard]] int completa_dialogo(Entrada *entrada, Estrutura *vetor, std::int32_t quantidade);
