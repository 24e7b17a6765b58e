// halver_alloc: reads records at the terminal into an array from aloca_structs,
// halves the even numbers and prints them.
#include "console.h"
#include "dialogo.h"
#include "estruturas.h"

#include <cstdlib>

int main() {
    Console *console = abre_console("halver_alloc");
    if (console == nullptr) {
        return EXIT_FAILURE;
    }
    std::int32_t quantidade = 0;
    if (!pergunta_quantidade(console, &quantidade)) {
        return fecha_console(console, EXIT_FAILURE);
    }
    Estrutura *vetor = nullptr;
    aloca_structs(&vetor, quantidade);
    const int status = completa_dialogo(console, vetor, quantidade);
    std::free(vetor);
    return fecha_console(console, status);
}
