// user: a numbered menu over one deque of integers, at a terminal.
#include "deque.h"
#include "entrada.h"
#include "menu.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char *DEQUE_NAO_CRIADO = "Erro:\n\tDeque nao foi criado\n";

// Clears the terminal with the clear command; if it cannot run, the screen is
// simply not cleared. What was written before must reach the screen first.
void limpa_tela() {
    std::fflush(stdout);
    [[maybe_unused]] const int resultado = std::system("clear");
}

} // namespace

int main() {
    Entrada entrada;
    inicia_console(&entrada);
    Deque *deque = cria_deque();
    if (deque == nullptr) {
        std::fputs(DEQUE_NAO_CRIADO, stdout);
        return EXIT_FAILURE;
    }
    executa_menu(deque, &entrada, limpa_tela);
    libera_deque(deque);
    return EXIT_SUCCESS;
}
