// user: a numbered menu over one deque of integers, at a terminal.
#include "console.h"
#include "deque.h"
#include "menu.h"

#include <csignal>
#include <cstdlib>
#include <string_view>
#include <sys/wait.h>

namespace {

constexpr std::string_view DEQUE_NAO_CRIADO = "Erro:\n\tDeque nao foi criado\n";

// Clears the terminal with the clear command; if it cannot run, the screen is
// simply not cleared. What was written before must reach the screen first, and
// when it cannot, there is no screen left to clear.
//
// While the command runs, this program ignores SIGINT and SIGQUIT, so a Ctrl-C
// or Ctrl-\ typed then ends only the command. When it ended so, the program
// ends as that signal would have ended it; any other result changes nothing.
void limpa_tela(Saida *saida) {
    if (!esvazia_saida(saida)) {
        return;
    }
    // NOLINTNEXTLINE(cert-env33-c): a fixed command, found on PATH as a shell would.
    const int resultado = std::system("clear");
    if (resultado != -1 && WIFSIGNALED(resultado) &&
        (WTERMSIG(resultado) == SIGINT || WTERMSIG(resultado) == SIGQUIT)) {
        static_cast<void>(std::raise(WTERMSIG(resultado)));
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
