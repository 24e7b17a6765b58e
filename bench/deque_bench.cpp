// Times the deque's four end operations against std::list and std::deque, the
// same workloads in the same run, and counts what each container costs: heap
// bytes per element held, allocation calls per insertion and per removal. Times
// the listing of a million elements too, imprime_deque against a plain
// std::to_chars listing that writes the same bytes, both to /dev/null.
//
// Every allocation of the containers measured is counted in one place: the
// deque's own malloc calls go through the malloc switch (linked with
// --wrap=malloc), and std::list and std::deque reach the same malloc through
// the allocator given them below.
#include "deque.h"
#include "falha_malloc.h"

#include <benchmark/benchmark.h>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <list>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <type_traits>
#include <unistd.h>

namespace {

// The allocator of the standard containers measured here: their blocks come
// from malloc, through the switch that counts the calls, and go back to free.
// Without memory no figure would mean anything, so a failed allocation ends the
// run instead of throwing.
template <typename T>
struct PeloMalloc {
    using value_type = T;

    PeloMalloc() = default;
    template <typename U>
    constexpr PeloMalloc(const PeloMalloc<U> &) noexcept {}

    [[nodiscard]] T *allocate(std::size_t quantos) {
        void *bloco = quantos > SIZE_MAX / sizeof(T) ? nullptr : std::malloc(quantos * sizeof(T));
        if (bloco == nullptr) {
            std::abort();
        }
        return static_cast<T *>(bloco);
    }

    void deallocate(T *bloco, std::size_t) noexcept {
        std::free(bloco);
    }
};

// Any two give back each other's blocks.
template <typename T, typename U>
constexpr bool operator==(const PeloMalloc<T> &, const PeloMalloc<U> &) noexcept {
    return true;
}

using Lista = std::list<std::int32_t, PeloMalloc<std::int32_t>>;
using DequePadrao = std::deque<std::int32_t, PeloMalloc<std::int32_t>>;

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

// The listing's reference writes in blocks of this size.
constexpr std::size_t BLOCO_LISTAGEM = std::size_t{64} * 1024;

void escreve_tudo(int descritor, const char *texto, std::size_t tamanho) {
    while (tamanho > 0) {
        const ssize_t feito = write(descritor, texto, tamanho);
        if (feito < 0) {
            std::perror("deque_bench: write");
            std::abort();
        }
        texto += feito;
        tamanho -= static_cast<std::size_t>(feito);
    }
}

// What imprime_deque writes, put together with std::to_chars in one block that
// goes to descritor with write(2) whenever an element might not fit.
void lista_com_to_chars(const Deque *deque, int descritor) {
    constexpr std::string_view antes = "Deque:\n\t{ ";
    constexpr std::string_view depois = "}\n";
    constexpr std::size_t maior_elemento = 12; // "-2147483648 "
    char bloco[BLOCO_LISTAGEM];
    std::memcpy(bloco, antes.data(), antes.size());
    std::size_t usado = antes.size();
    for (const NoDeque *no = deque->inicio; no != nullptr; no = no->proximo) {
        if (sizeof bloco - usado < maior_elemento) {
            escreve_tudo(descritor, bloco, usado);
            usado = 0;
        }
        char *fim = std::to_chars(bloco + usado, bloco + sizeof bloco, no->elemento).ptr;
        *fim = ' ';
        usado = static_cast<std::size_t>(fim + 1 - bloco);
    }
    if (sizeof bloco - usado < depois.size()) {
        escreve_tudo(descritor, bloco, usado);
        usado = 0;
    }
    std::memcpy(bloco + usado, depois.data(), depois.size());
    escreve_tudo(descritor, bloco, usado + depois.size());
}

enum class Listagem { imprime_deque, to_chars };

// The whole listing, written out to standard output's descriptor.
void lista(const Deque *deque, Listagem forma) {
    if (forma == Listagem::to_chars) {
        lista_com_to_chars(deque, STDOUT_FILENO);
        return;
    }
    if (imprime_deque(deque) != 1 || std::fflush(stdout) != 0) {
        std::abort();
    }
}

// Points standard output's descriptor at descritor and gives back a copy of the
// old one for devolve_saida. What stdio holds goes out first, to where it was
// meant to go.
int desvia_saida(int descritor) {
    if (std::fflush(stdout) != 0) {
        std::abort();
    }
    const int antigo = dup(STDOUT_FILENO);
    if (antigo < 0 || dup2(descritor, STDOUT_FILENO) < 0) {
        std::abort();
    }
    return antigo;
}

void devolve_saida(int antigo) {
    if (std::fflush(stdout) != 0) {
        std::abort();
    }
    if (dup2(antigo, STDOUT_FILENO) < 0) {
        std::abort();
    }
    close(antigo);
}

// The bytes one way of listing writes, caught in a memory file.
std::string listagem(const Deque *deque, Listagem forma) {
    const int arquivo = memfd_create("listagem", 0);
    if (arquivo < 0) {
        std::abort();
    }
    const int antigo = desvia_saida(arquivo);
    lista(deque, forma);
    devolve_saida(antigo);
    std::string texto(static_cast<std::size_t>(lseek(arquivo, 0, SEEK_END)), '\0');
    if (pread(arquivo, texto.data(), texto.size(), 0) != static_cast<ssize_t>(texto.size())) {
        std::abort();
    }
    close(arquivo);
    return texto;
}

using DequeProprio = std::unique_ptr<Deque, decltype(&libera_deque)>;

// MUITOS elements over the whole 32-bit range, both ends of it included, from a
// seeded generator: every deque made here lists the same text.
DequeProprio deque_para_listar() {
    DequeProprio deque = novo<Deque>();
    std::mt19937 gerador(20261208);
    std::uniform_int_distribution<std::int32_t> valor(INT32_MIN, INT32_MAX);
    poe(deque.get(), Ponta::final, INT32_MIN);
    for (std::int64_t i = 2; i < MUITOS; ++i) {
        poe(deque.get(), Ponta::final, valor(gerador));
    }
    poe(deque.get(), Ponta::final, INT32_MAX);
    return deque;
}

// Times one way of listing deque_para_listar's deque, written to /dev/null:
// only Google Benchmark's own report reaches standard output.
void mede_listagem(benchmark::State &estado, Listagem forma) {
    malloc_trim(0);
    const DequeProprio deque = deque_para_listar();
    const int nulo = open("/dev/null", O_WRONLY);
    if (nulo < 0) {
        std::abort();
    }
    const int antigo = desvia_saida(nulo);
    for (auto _ : estado) {
        lista(deque.get(), forma);
    }
    devolve_saida(antigo);
    close(nulo);
    estado.SetItemsProcessed(estado.iterations() * MUITOS);
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

    // Both ways of listing must write the same bytes, or their times say nothing.
    if (const DequeProprio deque = deque_para_listar();
        listagem(deque.get(), Listagem::imprime_deque) !=
        listagem(deque.get(), Listagem::to_chars)) {
        static_cast<void>(
            std::fputs("deque_bench: imprime_deque and the to_chars listing differ\n", stderr));
        return EXIT_FAILURE;
    }
    for (const Listagem forma : {Listagem::imprime_deque, Listagem::to_chars}) {
        const std::string nome = forma == Listagem::to_chars ? "to_chars" : "imprime_deque";
        benchmark::RegisterBenchmark(("listagem/" + nome + "/" + std::to_string(MUITOS)).c_str(),
                                     mede_listagem, forma);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
