#include "deque.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

[[nodiscard]] NoDeque *novo_no(std::int32_t elemento) {
    auto *no = static_cast<NoDeque *>(std::malloc(sizeof(NoDeque)));
    if (no != nullptr) {
        no->anterior = nullptr;
        no->proximo = nullptr;
        no->elemento = elemento;
    }
    return no;
}

} // namespace

Deque *cria_deque() {
    auto *deque = static_cast<Deque *>(std::malloc(sizeof(Deque)));
    if (deque == nullptr) {
        return nullptr;
    }
    deque->inicio = nullptr;
    deque->final = nullptr;
    deque->tamanho = 0;
    return deque;
}

void libera_deque(Deque *deque) {
    if (deque == nullptr) {
        return;
    }
    while (deque->inicio != nullptr) {
        NoDeque *no = deque->inicio;
        deque->inicio = no->proximo;
        std::free(no);
    }
    std::free(deque);
}

std::int32_t tamanho_deque(const Deque *deque) {
    return deque == nullptr ? 0 : deque->tamanho;
}

int deque_vazio(const Deque *deque) {
    return deque == nullptr || deque->inicio == nullptr ? 1 : 0;
}

int insere_inicio(Deque *deque, std::int32_t elemento) {
    if (deque == nullptr || deque->tamanho == INT32_MAX) {
        return 0;
    }
    NoDeque *no = novo_no(elemento);
    if (no == nullptr) {
        return 0;
    }
    no->proximo = deque->inicio;
    if (deque->inicio != nullptr) {
        deque->inicio->anterior = no;
    } else {
        deque->final = no;
    }
    deque->inicio = no;
    ++deque->tamanho;
    return 1;
}

int insere_final(Deque *deque, std::int32_t elemento) {
    if (deque == nullptr || deque->tamanho == INT32_MAX) {
        return 0;
    }
    NoDeque *no = novo_no(elemento);
    if (no == nullptr) {
        return 0;
    }
    no->anterior = deque->final;
    if (deque->final != nullptr) {
        deque->final->proximo = no;
    } else {
        deque->inicio = no;
    }
    deque->final = no;
    ++deque->tamanho;
    return 1;
}

int remove_inicio(Deque *deque) {
    if (deque_vazio(deque) != 0) {
        return 0;
    }
    NoDeque *no = deque->inicio;
    deque->inicio = no->proximo;
    if (deque->inicio == nullptr) {
        deque->final = nullptr; // that was the only element
    } else {
        deque->inicio->anterior = nullptr;
    }
    std::free(no);
    --deque->tamanho;
    return 1;
}

int remove_final(Deque *deque) {
    if (deque_vazio(deque) != 0) {
        return 0;
    }
    NoDeque *no = deque->final;
    deque->final = no->anterior;
    if (deque->final == nullptr) {
        deque->inicio = nullptr; // that was the only element
    } else {
        deque->final->proximo = nullptr;
    }
    std::free(no);
    --deque->tamanho;
    return 1;
}

int imprime_deque(const Deque *deque) {
    return escreve_deque(
        deque,
        [](void *, const char *texto, std::size_t tamanho) {
            // A failed write is left in stdout's error indicator, for its owner.
            (void)std::fwrite(texto, 1, tamanho, stdout);
        },
        nullptr);
}

int escreve_deque(const Deque *deque,
                  void (*escreve)(void *destino, const char *texto, std::size_t tamanho),
                  void *destino) {
    if (deque == nullptr) {
        return 0;
    }
    constexpr std::string_view abertura = "Deque:\n\t{ ";
    constexpr std::string_view fechamento = "}\n";
    constexpr std::size_t maior_elemento = sizeof "-2147483648 " - 1; // as "%d " writes it
    char trecho[TAMANHO_PEDACO_LISTAGEM];
    std::size_t usado = abertura.size();
    std::memcpy(trecho, abertura.data(), abertura.size());
    for (const NoDeque *no = deque->inicio; no != nullptr; no = no->proximo) {
        // Room for the longest element and the closing brace.
        if (sizeof trecho - usado < maior_elemento + fechamento.size()) {
            escreve(destino, trecho, usado);
            usado = 0;
        }
        usado = static_cast<std::size_t>(
            std::to_chars(trecho + usado, trecho + sizeof trecho, no->elemento).ptr - trecho);
        trecho[usado++] = ' ';
    }
    std::memcpy(trecho + usado, fechamento.data(), fechamento.size());
    escreve(destino, trecho, usado + fechamento.size());
    return 1;
}
