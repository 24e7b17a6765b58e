// user: a numbered menu over one deque of integers, at a terminal.
#include "console.h"
#include "deque.h"
#include "menu.h"

#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view DEQUE_NAO_CRIADO = "Erro:\n\tDeque nao foi criado\n";

// Clears the terminal with the clear command; if it cannot run, the screen is
// simply not cleared. What was written before must reach the screen first, and
// when it cannot, there is no screen left to clear.
void limpa_tela(Saida *saida) {
    if (esvazia_saida(saida)) {
        // The clear command knows the terminal; its result changes nothing here.
        // NOLINTNEXTLINE(cert-env33-c): a fixed command, found on PATH as a shell would.
        [[maybe_unused]] const int resultado = std::system("clear");
    }
}

} // namespace

int main() {
    Console *console = abre_console("user");
    if (console == nullptr) {
        return EXIT_FAILURE;
    }
    Deque *deque = cria_deque();
    if (deque == nullptr) {
        escreve(&console->saida, DEQUE_NAO_CRIADO);
        return fecha_console(console, EXIT_FAILURE);
    }
    executa_menu(deque, console, limpa_tela);
    libera_deque(deque);
    return fecha_console(console, EXIT_SUCCESS);
}
