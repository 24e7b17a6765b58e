// The array as halver_alloc obtains it: from aloca_structs.
#include "estruturas.h"

Estrutura *obtem_vetor(std::int32_t quantidade) {
    Estrutura *vetor = nullptr;
    aloca_structs(&vetor, quantidade);
    return vetor;
}
