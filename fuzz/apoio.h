#pragma once
// What the fuzz targets share: the bytes of one input handed to a console
// whole or split among many reads, and the console's output caught in memory.
#include "console.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

// A descriptor from which the bytes can be read, and the thread that feeds it.
struct Fonte {
    int descritor;
    std::thread escritor; // not joinable when the bytes were all there at once
};

// The bytes from a file: a reader gets all of them (up to its block) at once.
[[nodiscard]] Fonte fonte_inteira(std::string_view bytes);

// The bytes from a socket that hands them out one piece per read, split at
// points chosen from semente, so the same input is always split the same way.
[[nodiscard]] Fonte fonte_em_pedacos(std::string_view bytes, std::uint32_t semente);

// Closes the descriptor and waits for the thread that fed it.
void fecha(Fonte *fonte);

// A run of a dialogue over console. It writes to the console's output; it gives
// a text that tells its state at the end (what the run left in its data), to
// compare beside the output.
using Dialogo = std::string (*)(Console *console, std::size_t tamanho_da_entrada);

// Runs dialogo over the bytes twice, whole and in pieces, and aborts, telling
// where, when the two outputs or end states differ: how the input is divided
// among reads must never show.
void confere_em_pedacos(Dialogo dialogo, const std::uint8_t *dados, std::size_t tamanho);

// A seed made from the bytes themselves, to split them reproducibly.
[[nodiscard]] std::uint32_t semente_de(std::string_view bytes);

// Aborts with a message, which libFuzzer reports as a crash with this input.
[[noreturn]] void falha(const char *mensagem);
