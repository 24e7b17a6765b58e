#include "deque.h"
#include "falha_malloc.h"
#include "integridade.h"

#include <cstdint>
#include <cstdio>
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

std::string listagem(const Deque *deque) {
    testing::internal::CaptureStdout();
    const int resultado = imprime_deque(deque);
    std::fflush(stdout);
    std::string texto = testing::internal::GetCapturedStdout();
    EXPECT_EQ(resultado, deque == nullptr ? 0 : 1);
    return texto;
}

// One step of a scripted sequence: 'i'/'f' insert at the front/back, 'I'/'F'
// remove from the front/back.
struct Passo {
    char operacao;
    std::int32_t elemento;
    int resultado;
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
     {{'f', INT32_MIN, 1}, {'f', 0, 1}, {'f', INT32_MAX, 1}},
     {INT32_MIN, 0, INT32_MAX}},
};

TEST(DequeSequencias, ResultsAndInvariantsAfterEveryStep) {
    for (const Sequencia &sequencia : SEQUENCIAS) {
        SCOPED_TRACE(sequencia.nome);
        DequeProprio deque = novo_deque();
        percorre(deque.get());
        for (const Passo &passo : sequencia.passos) {
            EXPECT_EQ(aplica(deque.get(), passo), passo.resultado) << passo.operacao;
            percorre(deque.get());
        }
        EXPECT_EQ(percorre(deque.get()), sequencia.esperado);
    }
}

TEST(DequeListagem, FormatsEveryElementWithOneSpaceAfter) {
    DequeProprio deque = novo_deque();
    EXPECT_EQ(listagem(deque.get()), "Deque:\n\t{ }\n");
    ASSERT_EQ(insere_final(deque.get(), -5), 1);
    ASSERT_EQ(insere_final(deque.get(), 0), 1);
    ASSERT_EQ(insere_final(deque.get(), INT32_MIN), 1);
    EXPECT_EQ(listagem(deque.get()), "Deque:\n\t{ -5 0 -2147483648 }\n");
    EXPECT_EQ(listagem(nullptr), "");
}

TEST(DequeNulo, EveryOperationRefusesQuietly) {
    EXPECT_EQ(insere_inicio(nullptr, 1), 0);
    EXPECT_EQ(insere_final(nullptr, 1), 0);
    EXPECT_EQ(remove_inicio(nullptr), 0);
    EXPECT_EQ(remove_final(nullptr), 0);
    EXPECT_EQ(deque_vazio(nullptr), 1);
    EXPECT_EQ(tamanho_deque(nullptr), 0);
    libera_deque(nullptr);
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

TEST(DequeSemMemoria, FailedAllocationLeavesEverythingAsItWas) {
    falha_na_alocacao(1);
    EXPECT_EQ(cria_deque(), nullptr);

    DequeProprio deque = novo_deque();
    ASSERT_EQ(insere_final(deque.get(), 1), 1);
    ASSERT_EQ(insere_final(deque.get(), 2), 1);
    for (const char operacao : {'i', 'f'}) {
        SCOPED_TRACE(operacao);
        falha_na_alocacao(1);
        EXPECT_EQ(aplica(deque.get(), {operacao, 9, 0}), 0);
        EXPECT_EQ(percorre(deque.get()), (Elementos{1, 2}));
    }
    falha_na_alocacao(0);
    DequeProprio vazio = novo_deque();
    falha_na_alocacao(1);
    EXPECT_EQ(insere_inicio(vazio.get(), 9), 0);
    EXPECT_EQ(percorre(vazio.get()), Elementos{});
    falha_na_alocacao(0);
}

TEST(DequeAleatorio, MatchesStdDequeOverASeededRandomSequence) {
    std::mt19937 gerador(20261208);
    std::uniform_int_distribution<int> escolha(0, 3);
    std::uniform_int_distribution<std::int32_t> valor(INT32_MIN, INT32_MAX);
    DequeProprio deque = novo_deque();
    std::deque<std::int32_t> modelo;
    for (int passo = 0; passo < 5000; ++passo) {
        const std::int32_t elemento = valor(gerador);
        switch (escolha(gerador)) {
        case 0:
            ASSERT_EQ(insere_inicio(deque.get(), elemento), 1);
            modelo.push_front(elemento);
            break;
        case 1:
            ASSERT_EQ(insere_final(deque.get(), elemento), 1);
            modelo.push_back(elemento);
            break;
        case 2:
            ASSERT_EQ(remove_inicio(deque.get()), modelo.empty() ? 0 : 1);
            if (!modelo.empty()) {
                modelo.pop_front();
            }
            break;
        default:
            ASSERT_EQ(remove_final(deque.get()), modelo.empty() ? 0 : 1);
            if (!modelo.empty()) {
                modelo.pop_back();
            }
            break;
        }
        if (passo % 97 == 0) {
            ASSERT_EQ(percorre(deque.get()), Elementos(modelo.begin(), modelo.end()));
        }
    }
    EXPECT_EQ(percorre(deque.get()), Elementos(modelo.begin(), modelo.end()));
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
        EXPECT_EQ(pedacos.texto, esperado);
        EXPECT_EQ(pedacos.fora_do_limite, 0);

        testing::internal::CaptureStdout();
        EXPECT_EQ(imprime_deque(deque.get()), 1);
        std::fflush(stdout);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), esperado);
    }
    Pedacos nada;
    EXPECT_EQ(escreve_deque(nullptr, junta, &nada), 0);
    EXPECT_EQ(nada.pedacos, 0);
}

} // namespace
