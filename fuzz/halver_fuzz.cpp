// The array as halver obtains it: its own malloc.
#include "estruturas.h"

#include <cstdlib>

Estrutura *obtem_vetor(std::int32_t quantidade) {
    const std::size_t bytes = tamanho_do_vetor(quantidade);
    return bytes == 0 ? nullptr : static_cast<Estrutura *>(std::malloc(bytes));
}
