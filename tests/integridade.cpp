#include "integridade.h"

#include <cstddef>

const char *deque_quebrado(const Deque *deque, std::vector<std::int32_t> *elementos) {
    elementos->clear();
    if ((deque->inicio == nullptr) != (deque->final == nullptr)) {
        return "only one end is null";
    }
    const NoDeque *ultimo = nullptr;
    for (const NoDeque *no = deque->inicio; no != nullptr; no = no->proximo) {
        if (no->anterior != ultimo) {
            return "a backward link is broken";
        }
        elementos->push_back(no->elemento);
        ultimo = no;
    }
    if (deque->final != ultimo) {
        return "final is not the last node";
    }
    std::size_t para_tras = 0;
    for (const NoDeque *no = deque->final; no != nullptr; no = no->anterior) {
        ++para_tras;
    }
    if (para_tras != elementos->size()) {
        return "the walk from final does not visit every node";
    }
    if (static_cast<std::size_t>(deque->tamanho) != elementos->size()) {
        return "tamanho is not the number of nodes";
    }
    if (deque_vazio(deque) != (elementos->empty() ? 1 : 0)) {
        return "deque_vazio does not match the nodes";
    }
    return nullptr;
}
