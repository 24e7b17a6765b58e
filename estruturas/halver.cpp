// halver: reads records at the terminal into an array it allocates itself,
// halves the even numbers and prints them.
#include "console.h"
#include "dialogo.h"
#include "estruturas.h"

#include <cstdlib>

int main() {
    Console *console = abre_console("halver");
    if (console == nullptr) {
        return EXIT_FAILURE;
    }
    std::int32_t quantidade = 0;
    if (!pergunta_quantidade(console, &quantidade)) {
        return fecha_console(console, EXIT_FAILURE);
    }
    // 0 bytes: no array, for a count of 0 or less or one too large to count.
    const std::size_t bytes = tamanho_do_vetor(quantidade);
    auto *vetor = bytes == 0 ? nullptr : static_cast<Estrutura *>(std::malloc(bytes));
    const int status = completa_dialogo(console, vetor, quantidade);
    std::free(vetor);
    return fecha_console(console, status);
}
