// Fuzz target: the whole dialogue of user, fed any bytes as its input. Besides
// finding crashes, leaks and undefined behaviour, it checks that the deque is
// whole at the end, and that splitting the same bytes among many reads changes
// neither the output nor the deque.
#include "apoio.h"
#include "deque.h"
#include "integridade.h"
#include "menu.h"

#include <string>
#include <vector>

namespace {

// Where the program would clear the screen, a mark in the output.
void marca_limpeza(Saida *saida) {
    escreve(saida, "<clear>");
}

// The elements front to back, after checking every invariant.
std::string percorre(const Deque *deque) {
    std::vector<std::int32_t> elementos;
    if (const char *quebra = deque_quebrado(deque, &elementos); quebra != nullptr) {
        falha(quebra);
    }
    std::string texto;
    for (const std::int32_t elemento : elementos) {
        texto += std::to_string(elemento) + " ";
    }
    return texto;
}

std::string menu(Console *console, std::size_t) {
    Deque *deque = cria_deque();
    if (deque == nullptr) {
        falha("cannot make the deque");
    }
    executa_menu(deque, console, marca_limpeza);
    std::string elementos = percorre(deque);
    libera_deque(deque);
    return elementos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dados, std::size_t tamanho) {
    confere_em_pedacos(menu, dados, tamanho);
    return 0;
}
