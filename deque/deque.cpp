#include "deque.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view LISTAGEM_ANTES = "Deque:\n\t{ ";
constexpr std::string_view LISTAGEM_DEPOIS = "}\n";
// An element as "%d " writes it, at its longest: "-2147483648 ".
constexpr std::size_t MAIOR_ELEMENTO = 12;
static_assert(LISTAGEM_ANTES.size() + MAIOR_ELEMENTO <= TAMANHO_PEDACO_LISTAGEM);

[[nodiscard]] NoDeque *novo_no(std::int32_t elemento) {
    auto *no = static_cast<NoDeque *>(std::malloc(sizeof(NoDeque)));
    if (no != nullptr) {
        no->anterior = nullptr;
        no->proximo = nullptr;
        no->elemento = elemento;
    }
    return no;
}

char *acrescenta(char *fim, std::string_view texto) {
    std::memcpy(fim, texto.data(), texto.size());
    return fim + texto.size();
}

void escreve_em_arquivo(void *destino, const char *texto, std::size_t tamanho) {
    std::fwrite(texto, 1, tamanho, static_cast<std::FILE *>(destino));
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
    if (deque == nullptr) {
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
    if (deque == nullptr) {
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
    return escreve_deque(deque, escreve_em_arquivo, stdout);
}

int escreve_deque(const Deque *deque,
                  void (*escreve)(void *destino, const char *texto, std::size_t tamanho),
                  void *destino) {
    if (deque == nullptr) {
        return 0;
    }
    char pedaco[TAMANHO_PEDACO_LISTAGEM];
    char *const limite = pedaco + sizeof pedaco;
    char *fim = acrescenta(pedaco, LISTAGEM_ANTES);
    for (const NoDeque *no = deque->inicio; no != nullptr; no = no->proximo) {
        if (limite - fim < static_cast<std::ptrdiff_t>(MAIOR_ELEMENTO)) {
            escreve(destino, pedaco, static_cast<std::size_t>(fim - pedaco));
            fim = pedaco;
        }
        fim = std::to_chars(fim, limite, no->elemento).ptr;
        *fim++ = ' ';
    }
    if (limite - fim < static_cast<std::ptrdiff_t>(LISTAGEM_DEPOIS.size())) {
        escreve(destino, pedaco, static_cast<std::size_t>(fim - pedaco));
        fim = pedaco;
    }
    fim = acrescenta(fim, LISTAGEM_DEPOIS);
    escreve(destino, pedaco, static_cast<std::size_t>(fim - pedaco));
    return 1;
}
