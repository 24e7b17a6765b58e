#include "falha_malloc.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

extern "C" void *__real_malloc(std::size_t tamanho);
extern "C" void *__wrap_malloc(std::size_t tamanho);

namespace {

// The state of a test-only switch: one per process by its nature.
struct Controle {
    long falha = 0;
    long feitas = 0;
    bool iniciado = false;
};

Controle &controle();

void escreve_contagem() {
    if (const char *arquivo = std::getenv("CONTA_ALOCACOES_EM"); arquivo != nullptr) {
        if (std::FILE *saida = std::fopen(arquivo, "w"); saida != nullptr) {
            std::fprintf(saida, "%ld\n", controle().feitas);
            std::fclose(saida);
        }
    }
}

Controle &controle() {
    static Controle c;
    if (!c.iniciado) {
        c.iniciado = true;
        if (const char *valor = std::getenv("FALHA_NA_ALOCACAO"); valor != nullptr) {
            c.falha = std::strtol(valor, nullptr, 10);
        }
        std::atexit(escreve_contagem);
    }
    return c;
}

// Reads the switch before main, so that a run that never allocates still
// writes its count.
[[maybe_unused]] const bool preparado = (controle(), true);

} // namespace

void falha_na_alocacao(long n) {
    Controle &c = controle();
    c.falha = n;
    c.feitas = 0;
}

long alocacoes_feitas() {
    // A compiler that sees the whole program (LTO) may take the wrapped malloc
    // for the C library's, which touches none of the program's data, and keep a
    // count read before the call: the barrier makes it read the count anew.
    asm volatile("" ::: "memory");
    return controle().feitas;
}

extern "C" void *__wrap_malloc(std::size_t tamanho) {
    Controle &c = controle();
    ++c.feitas;
    if (c.feitas == c.falha) {
        return nullptr;
    }
    return __real_malloc(tamanho);
}
