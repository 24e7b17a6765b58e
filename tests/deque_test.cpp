#include "comum.h"
#include "deque.h"
#include "falha_malloc.h"
#include "integridade.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Elementos = std::vector<std::int32_t>;

struct LiberaDeque {
    void operator()(Deque *deque) const {
        libera_deque(deque);
    }
};
using DequeProprio = std::unique_ptr<Deque, LiberaDeque>;

DequeProprio novo_deque() {
    DequeProprio deque(cria_deque());
    EXPECT_NE(deque, nullptr);
    return deque;
}

// The elements front to back, after checking every invariant.
Elementos percorre(const Deque *deque) {
    Elementos elementos;
    EXPECT_STREQ(deque_quebrado(deque, &elementos), nullptr);
    return elementos;
}

// The listing of elementos as imprime_deque writes it.
std::string lista(const Elementos &elementos) {
    std::string texto = "Deque:\n\t{ ";
    for (const std::int32_t elemento : elementos) {
        texto += std::to_string(elemento) + " ";
    }
    return texto + "}\n";
}

std::string listagem(const Deque *deque) {
    return captura(STDOUT_FILENO,
                   [deque] { EXPECT_EQ(imprime_deque(deque), deque == nullptr ? 0 : 1); });
}

// One step of a scripted sequence: 'i'/'f' insert at the front/back, 'I'/'F'
// remove from the front/back; with sem_memoria, the step's allocation fails.
struct Passo {
    char operacao;
    std::int32_t elemento;
    int resultado;
    bool sem_memoria = false;
};

int aplica(Deque *deque, const Passo &passo) {
    switch (passo.operacao) {
    case 'i':
        return insere_inicio(deque, passo.elemento);
    case 'f':
        return insere_final(deque, passo.elemento);
    case 'I':
        return remove_inicio(deque);
    default:
        return remove_final(deque);
    }
}

struct Sequencia {
    const char *nome;
    std::vector<Passo> passos;
    Elementos esperado;
};

const std::vector<Sequencia> SEQUENCIAS = {
    {"front inserts reverse", {{'i', 1, 1}, {'i', 2, 1}, {'i', 3, 1}}, {3, 2, 1}},
    {"back inserts keep order", {{'f', 1, 1}, {'f', 2, 1}, {'f', 3, 1}}, {1, 2, 3}},
    {"mixed ends", {{'i', 1, 1}, {'f', 2, 1}, {'i', 3, 1}}, {3, 1, 2}},
    {"remove from empty", {{'I', 0, 0}, {'F', 0, 0}}, {}},
    {"last node leaves from the front", {{'f', 7, 1}, {'I', 0, 1}, {'I', 0, 0}}, {}},
    {"last node leaves from the back", {{'i', 7, 1}, {'F', 0, 1}, {'F', 0, 0}}, {}},
    {"emptied at the front, refilled at the back", {{'i', 1, 1}, {'I', 0, 1}, {'f', 2, 1}}, {2}},
    {"emptied at the back, refilled at the front", {{'f', 1, 1}, {'F', 0, 1}, {'i', 2, 1}}, {2}},
    {"both ends toward the middle",
     {{'f', 1, 1}, {'f', 2, 1}, {'f', 3, 1}, {'I', 0, 1}, {'F', 0, 1}},
     {2}},
    {"front twice, back once",
     {{'f', 1, 1}, {'f', 2, 1}, {'f', 3, 1}, {'f', 4, 1}, {'I', 0, 1}, {'I', 0, 1}, {'F', 0, 1}},
     {3}},
    {"extreme values",
     {{'f', INT32_MIN, 1}, {'f', 0, 1}, {'f', INT32_MAX, 1}, {'i', -5, 1}},
     {-5, INT32_MIN, 0, INT32_MAX}},
    {"a failed insertion at either end changes nothing",
     {{'f', 1, 1}, {'f', 2, 1}, {'i', 9, 0, true}, {'f', 9, 0, true}},
     {1, 2}},
    {"a failed insertion into an empty deque leaves it empty",
     {{'i', 9, 0, true}, {'f', 9, 0, true}},
     {}},
};

// After every step the invariants hold; at the end the elements, the count and
// the listing are the expected ones.
TEST(DequeSequencias, ResultsAndInvariantsAfterEveryStep) {
    for (const Sequencia &sequencia : SEQUENCIAS) {
        SCOPED_TRACE(sequencia.nome);
        DequeProprio deque = novo_deque();
        percorre(deque.get());
        for (const Passo &passo : sequencia.passos) {
            falha_na_alocacao(passo.sem_memoria ? 1 : 0);
            EXPECT_EQ(aplica(deque.get(), passo), passo.resultado) << passo.operacao;
            falha_na_alocacao(0);
            percorre(deque.get());
        }
        EXPECT_EQ(percorre(deque.get()), sequencia.esperado);
        EXPECT_EQ(tamanho_deque(deque.get()), static_cast<std::int32_t>(sequencia.esperado.size()));
        EXPECT_TRUE(mesmo_texto(listagem(deque.get()), lista(sequencia.esperado)));
    }
}

// A deque that cannot be made is null, and every operation on it refuses.
TEST(DequeNulo, ADequeThatCannotBeMadeIsNullAndRefusesEverything) {
    falha_na_alocacao(1);
    Deque *nulo = cria_deque();
    falha_na_alocacao(0);
    EXPECT_EQ(nulo, nullptr);
    EXPECT_EQ(insere_inicio(nulo, 1), 0);
    EXPECT_EQ(insere_final(nulo, 1), 0);
    EXPECT_EQ(remove_inicio(nulo), 0);
    EXPECT_EQ(remove_final(nulo), 0);
    EXPECT_EQ(deque_vazio(nulo), 1);
    EXPECT_EQ(tamanho_deque(nulo), 0);
    EXPECT_EQ(listagem(nulo), "");
    libera_deque(nulo); // does nothing, and must not crash
}

// A deque whose count is at its limit refuses insertions at both ends and
// stays as it was; the count is set by hand, since 2^31 nodes would take 64 GiB.
TEST(DequeCheio, RefusesAnInsertionPastTheCountsLimit) {
    DequeProprio deque = novo_deque();
    ASSERT_EQ(insere_final(deque.get(), 1), 1);
    deque->tamanho = INT32_MAX;
    EXPECT_EQ(insere_inicio(deque.get(), 2), 0);
    EXPECT_EQ(insere_final(deque.get(), 3), 0);
    EXPECT_EQ(tamanho_deque(deque.get()), INT32_MAX);
    EXPECT_EQ(deque->inicio, deque->final);
    EXPECT_EQ(deque->inicio->elemento, 1);
    deque->tamanho = INT32_MAX - 1;
    EXPECT_EQ(insere_final(deque.get(), 3), 1) << "one below the limit still inserts";
}

// The integrity walk and the comparison with the model after every step.
TEST(DequeAleatorio, MatchesStdDequeOverASeededRandomSequence) {
    std::mt19937 gerador(20261208);
    std::uniform_int_distribution<int> escolha(0, 3);
    std::uniform_int_distribution<std::int32_t> valor(INT32_MIN, INT32_MAX);
    DequeProprio deque = novo_deque();
    std::deque<std::int32_t> modelo;
    for (int passo = 0; passo < 5000; ++passo) {
        const std::int32_t elemento = valor(gerador);
        const char operacao = "ifIF"[escolha(gerador)];
        int esperado = 1;
        if (operacao == 'i') {
            modelo.push_front(elemento);
        } else if (operacao == 'f') {
            modelo.push_back(elemento);
        } else if (modelo.empty()) {
            esperado = 0;
        } else {
            operacao == 'I' ? modelo.pop_front() : modelo.pop_back();
        }
        ASSERT_EQ(aplica(deque.get(), {operacao, elemento, esperado}), esperado)
            << operacao << " at step " << passo;
        Elementos elementos;
        ASSERT_STREQ(deque_quebrado(deque.get(), &elementos), nullptr) << "after step " << passo;
        ASSERT_EQ(elementos, Elementos(modelo.begin(), modelo.end())) << "after step " << passo;
    }
}

} // namespace

// The listing handed out in pieces: each piece within bounds, and the pieces
// together byte for byte what imprime_deque writes, wherever the edge of a
// piece falls.
namespace {

struct Pedacos {
    std::string texto;
    int pedacos = 0;
    int fora_do_limite = 0; // pieces that were empty or too long
};

void junta(void *destino, const char *texto, std::size_t tamanho) {
    auto *pedacos = static_cast<Pedacos *>(destino);
    if (pedacos->texto.size() + tamanho > (std::size_t{1} << 20)) {
        std::fputs("junta: the listing goes on past 1 MiB, far longer than any here\n", stderr);
        std::abort(); // a listing that never ends would never give the test back
    }
    pedacos->texto.append(texto, tamanho);
    ++pedacos->pedacos;
    if (tamanho == 0 || tamanho > TAMANHO_PEDACO_LISTAGEM) {
        ++pedacos->fora_do_limite;
    }
}

std::vector<std::int32_t> repete(std::vector<std::int32_t> ciclo, std::size_t quantos) {
    std::vector<std::int32_t> elementos;
    for (std::size_t i = 0; i < quantos; ++i) {
        elementos.push_back(ciclo[i % ciclo.size()]);
    }
    return elementos;
}

TEST(DequeListagemEmPedacos, PiecesJoinToTheListingWhereverAPieceEnds) {
    struct Caso {
        std::string nome;
        std::vector<std::int32_t> elementos;
    };
    std::vector<Caso> casos = {
        {"empty", {}},
        {"extremes", {INT32_MIN, 0, INT32_MAX, -1}},
        {"many pieces of mixed widths", repete({INT32_MIN, INT32_MAX, -1, 0, 123456}, 3000)},
    };
    // Short elements up to every byte within 32 of the first piece's end, then
    // the longest element and the closing brace, so that the piece's edge falls
    // before, inside and after each of them.
    for (std::size_t perto = 32; perto > 0; --perto) {
        const std::size_t curtos = TAMANHO_PEDACO_LISTAGEM - 10 - perto; // after "Deque:\n\t{ "
        // "7 " two bytes at a time; "10 " once for an odd count.
        std::vector<std::int32_t> elementos =
            repete({7}, curtos % 2 == 0 ? curtos / 2 : (curtos - 3) / 2);
        if (curtos % 2 != 0) {
            elementos.push_back(10);
        }
        elementos.push_back(INT32_MIN);
        casos.push_back(
            {std::to_string(perto) + " bytes short of the first piece's end", elementos});
    }
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.nome);
        std::unique_ptr<Deque, decltype(&libera_deque)> deque(cria_deque(), libera_deque);
        ASSERT_NE(deque, nullptr);
        std::string esperado = "Deque:\n\t{ ";
        for (const std::int32_t elemento : caso.elementos) {
            ASSERT_EQ(insere_final(deque.get(), elemento), 1);
            esperado += std::to_string(elemento) + " ";
        }
        esperado += "}\n";

        Pedacos pedacos;
        EXPECT_EQ(escreve_deque(deque.get(), junta, &pedacos), 1);
        EXPECT_TRUE(mesmo_texto(pedacos.texto, esperado));
        EXPECT_EQ(pedacos.fora_do_limite, 0);
        EXPECT_TRUE(mesmo_texto(listagem(deque.get()), esperado));
    }
    Pedacos nada;
    EXPECT_EQ(escreve_deque(nullptr, junta, &nada), 0);
    EXPECT_EQ(nada.pedacos, 0);
}

} // namespace
