#include "estruturas.h"

#include <cstdint>
#include <cstdlib>

std::size_t tamanho_do_vetor(std::int32_t quantidade) {
    // Where std::size_t has 32 bits, the bytes of 178,956,971 records or more
    // would wrap around to a small block.
    if (quantidade <= 0 || static_cast<std::size_t>(quantidade) > SIZE_MAX / sizeof(Estrutura)) {
        return 0;
    }
    return static_cast<std::size_t>(quantidade) * sizeof(Estrutura);
}

void aloca_structs(Estrutura **saida, std::int32_t quantidade) {
    const std::size_t bytes = tamanho_do_vetor(quantidade);
    *saida = bytes == 0 ? nullptr : static_cast<Estrutura *>(std::malloc(bytes));
}

void manipula_um_par(Estrutura *estrutura) {
    estrutura->numero /= 2;
}

void manipula_pares(Estrutura *vetor, std::int32_t quantidade) {
    for (std::int32_t i = 0; i < quantidade; ++i) {
        // The lowest bit tells evenness for negative numbers too.
        if ((static_cast<std::uint32_t>(vetor[i].numero) & 1U) == 0U) {
            manipula_um_par(&vetor[i]);
        }
    }
}
