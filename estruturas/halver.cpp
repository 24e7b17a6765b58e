// halver: reads records at the terminal into an array it allocates itself,
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
    const std::size_t bytes = tamanho_do_vetor(quantidade);
    auto *vetor = bytes == 0 ? nullptr : static_cast<Estrutura *>(std::malloc(bytes));
    const int status = completa_dialogo(&entrada, vetor, quantidade);
    std::free(vetor);
    return status;
}
