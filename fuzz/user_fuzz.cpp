// Fuzz target: the whole dialogue of user, fed any bytes as its input. Besides
// finding crashes, leaks and undefined behaviour, it checks that the deque is
// whole at the end, and that splitting the same bytes among many reads changes
// neither the output nor the deque.
#include "apoio.h"
#include "deque.h"
#include "menu.h"

#include <cstdio>
#include <string>

namespace {

// Where the program would clear the screen, a mark in the output.
void marca_limpeza() {
    std::fputs("<clear>", stdout);
}

// The elements front to back, after checking the links both ways and the count.
std::string percorre(const Deque *deque) {
    std::string elementos;
    std::int32_t contados = 0;
    const NoDeque *anterior = nullptr;
    for (const NoDeque *no = deque->inicio; no != nullptr; no = no->proximo) {
        if (no->anterior != anterior) {
            falha("a backward link is broken");
        }
        elementos += std::to_string(no->elemento) + " ";
        anterior = no;
        ++contados;
    }
    if (deque->final != anterior || deque->tamanho != contados) {
        falha("the back end or the count does not match the nodes");
    }
    return elementos;
}

std::string menu(Entrada *entrada, std::size_t) {
    Deque *deque = cria_deque();
    if (deque == nullptr) {
        falha("cannot make the deque");
    }
    executa_menu(deque, entrada, marca_limpeza);
    std::string elementos = percorre(deque);
    libera_deque(deque);
    return elementos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dados, std::size_t tamanho) {
    confere_em_pedacos(menu, dados, tamanho);
    return 0;
}
