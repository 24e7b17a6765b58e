// halver_alloc: reads records at the terminal into an array from aloca_structs,
// halves the even numbers and prints them.
#include "dialogo.h"
#include "entrada.h"
#include "estruturas.h"

#include <cstdio>
#include <cstdlib>

int main() {
    Entrada entrada;
    inicia_console(&entrada);
    std::int32_t quantidade = 0;
    if (!pergunta_quantidade(&entrada, &quantidade)) {
        return EXIT_FAILURE;
    }
    Estrutura *vetor = nullptr;
    aloca_structs(&vetor, quantidade);
    const int status = completa_dialogo(&entrada, vetor, quantidade);
    std::free(vetor);
    return status;
}
