// Fuzz target: the whole dialogue of a record program, fed any bytes as its
// input, with the array obtained as that program obtains it (obtem_vetor,
// defined beside this file once per program). Besides finding crashes, leaks
// and undefined behaviour, it checks that splitting the same bytes among many
// reads changes neither the output nor the records.
#include "apoio.h"
#include "dialogo.h"
#include "estruturas.h"

#include <algorithm>
#include <cstdlib>
#include <string>

// The array of quantidade records, obtained the program's way.
[[nodiscard]] Estrutura *obtem_vetor(std::int32_t quantidade);

namespace {

std::string registros(Console *console, std::size_t tamanho_da_entrada) {
    std::int32_t quantidade = 0;
    if (!pergunta_quantidade(console, &quantidade)) {
        return "status 1, no count";
    }
    // Every record read takes at least two bytes of input (a digit, then a name
    // line), so an array of this many can never be outgrown; a larger count
    // would only test how much memory the machine lends.
    const auto cabem = static_cast<std::int32_t>(
        std::min<std::size_t>(tamanho_da_entrada / 2 + 1, static_cast<std::size_t>(INT32_MAX)));
    const std::int32_t alocados = std::min(quantidade, cabem);
    Estrutura *vetor = obtem_vetor(alocados);
    const int status = completa_dialogo(console, vetor, quantidade);
    // Appended piece by piece: optimising, GCC 12 warns wrongly (-Wrestrict) of
    // a text literal + std::string.
    std::string estado = "status ";
    estado += std::to_string(status);
    estado += ':';
    for (std::int32_t i = 0; status == EXIT_SUCCESS && i < quantidade; ++i) {
        estado += ' ';
        estado += std::to_string(vetor[i].numero);
        estado += " '";
        estado += vetor[i].nome;
        estado += '\'';
    }
    std::free(vetor);
    return estado;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dados, std::size_t tamanho) {
    confere_em_pedacos(registros, dados, tamanho);
    return 0;
}
