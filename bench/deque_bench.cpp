// Times the deque's four end operations against std::list and std::deque, the
// same workloads in the same run, and counts what each container costs: heap
// bytes per element held, allocation calls per insertion and per removal.
//
// Every allocation of this binary is counted in one place: the deque's own
// malloc calls go through the malloc switch (linked with --wrap=malloc), and
// std::list and std::deque reach the same malloc through the global operator
// new replaced below.
#include "deque.h"
#include "falha_malloc.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <list>
#include <malloc.h>
#include <memory>
#include <new>
#include <string>
#include <type_traits>

// Without memory no figure would mean anything, so a failed allocation ends the
// run instead of throwing.
void *operator new(std::size_t tamanho) {
    void *bloco = std::malloc(tamanho == 0 ? 1 : tamanho);
    if (bloco == nullptr) {
        std::abort();
    }
    return bloco;
}

void operator delete(void *bloco) noexcept {
    std::free(bloco);
}

void operator delete(void *bloco, std::size_t) noexcept {
    std::free(bloco);
}

namespace {

using Lista = std::list<std::int32_t>;
using DequePadrao = std::deque<std::int32_t>;

enum class Carga {
    fila,  // insert at the back, remove at the front
    pilha, // insert and remove at the front
    misto, // insert and remove at alternate ends
};

enum class Ponta { inicio, final };

constexpr std::int64_t POUCOS = 1'000;
constexpr std::int64_t MUITOS = 1'000'000;

// Where the i-th insertion of a workload happens.
Ponta ponta_de_insercao(Carga carga, std::int64_t i) {
    if (carga == Carga::misto) {
        return i % 2 == 0 ? Ponta::inicio : Ponta::final;
    }
    return carga == Carga::fila ? Ponta::final : Ponta::inicio;
}

// Where the i-th removal of a workload happens.
Ponta ponta_de_remocao(Carga carga, std::int64_t i) {
    if (carga == Carga::misto) {
        return i % 2 == 0 ? Ponta::final : Ponta::inicio;
    }
    return Ponta::inicio;
}

// A new, empty container, freed with its owner.
template <typename Conteiner>
auto novo() {
    if constexpr (std::is_same_v<Conteiner, Deque>) {
        std::unique_ptr<Deque, decltype(&libera_deque)> deque(cria_deque(), libera_deque);
        if (deque == nullptr) {
            std::abort();
        }
        return deque;
    } else {
        return std::make_unique<Conteiner>();
    }
}

// One insertion or removal at the given end. The deque's refusals end the run,
// since every figure after one would be wrong.
void poe(Deque *deque, Ponta ponta, std::int32_t elemento) {
    const int feito =
        ponta == Ponta::inicio ? insere_inicio(deque, elemento) : insere_final(deque, elemento);
    if (feito == 0) {
        std::abort();
    }
}

void tira(Deque *deque, Ponta ponta) {
    const int feito = ponta == Ponta::inicio ? remove_inicio(deque) : remove_final(deque);
    if (feito == 0) {
        std::abort();
    }
}

template <typename Conteiner>
void poe(Conteiner *conteiner, Ponta ponta, std::int32_t elemento) {
    if (ponta == Ponta::inicio) {
        conteiner->push_front(elemento);
    } else {
        conteiner->push_back(elemento);
    }
}

template <typename Conteiner>
void tira(Conteiner *conteiner, Ponta ponta) {
    if (ponta == Ponta::inicio) {
        conteiner->pop_front();
    } else {
        conteiner->pop_back();
    }
}

template <typename Conteiner>
void enche(Conteiner *conteiner, Carga carga, std::int64_t quantos) {
    for (std::int64_t i = 0; i < quantos; ++i) {
        poe(conteiner, ponta_de_insercao(carga, i), static_cast<std::int32_t>(i));
    }
    benchmark::ClobberMemory();
}

template <typename Conteiner>
void esvazia(Conteiner *conteiner, Carga carga, std::int64_t quantos) {
    for (std::int64_t i = 0; i < quantos; ++i) {
        tira(conteiner, ponta_de_remocao(carga, i));
    }
    benchmark::ClobberMemory();
}

// The heap bytes in use, chunk headers included.
std::size_t bytes_em_uso() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// One iteration fills an empty container with range(0) elements and empties it
// again, both following the workload; the time of an operation is the
// iteration's time over 2 * range(0).
template <typename Conteiner>
void mede(benchmark::State &estado, Carga carga) {
    const std::int64_t quantos = estado.range(0);
    // Every measurement starts from a heap without the free chunks, in whatever
    // order, that the one before left behind.
    malloc_trim(0);
    auto conteiner = novo<Conteiner>();

    const std::size_t vazio = bytes_em_uso();
    enche(conteiner.get(), carga, quantos);
    const std::size_t cheio = bytes_em_uso();
    esvazia(conteiner.get(), carga, quantos);

    long alocacoes_ao_por = 0;
    long alocacoes_ao_tirar = 0;
    for (auto _ : estado) {
        const long antes = alocacoes_feitas();
        enche(conteiner.get(), carga, quantos);
        const long meio = alocacoes_feitas();
        esvazia(conteiner.get(), carga, quantos);
        alocacoes_ao_por += meio - antes;
        alocacoes_ao_tirar += alocacoes_feitas() - meio;
    }

    const auto operacoes = static_cast<double>(estado.iterations()) * static_cast<double>(quantos);
    estado.SetItemsProcessed(estado.iterations() * 2 * quantos);
    estado.counters["bytes_por_elemento"] =
        static_cast<double>(cheio - vazio) / static_cast<double>(quantos);
    estado.counters["alocacoes_por_insercao"] = static_cast<double>(alocacoes_ao_por) / operacoes;
    estado.counters["alocacoes_por_remocao"] = static_cast<double>(alocacoes_ao_tirar) / operacoes;
}

template <typename Conteiner>
void registra(const std::string &carga_nome, Carga carga, const char *conteiner_nome) {
    benchmark::RegisterBenchmark((carga_nome + "/" + conteiner_nome).c_str(), mede<Conteiner>,
                                 carga)
        ->Arg(POUCOS)
        ->Arg(MUITOS);
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return EXIT_FAILURE;
    }
    const struct {
        const char *nome;
        Carga carga;
    } cargas[] = {{"fila", Carga::fila}, {"pilha", Carga::pilha}, {"misto", Carga::misto}};
    for (const auto &c : cargas) {
        registra<Deque>(c.nome, c.carga, "Deque");
        registra<Lista>(c.nome, c.carga, "std::list");
        registra<DequePadrao>(c.nome, c.carga, "std::deque");
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
