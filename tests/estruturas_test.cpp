#include "comum.h"
#include "dialogo.h"
#include "estruturas.h"
#include "falha_malloc.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <malloc.h>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Records holding numeros, each with a distinct name that fills all 20 bytes
// after its terminator too, so any change to nome shows.
std::vector<Estrutura> registros(const std::vector<std::int32_t> &numeros) {
    std::vector<Estrutura> vetor(numeros.size());
    for (std::size_t i = 0; i < numeros.size(); ++i) {
        std::memset(vetor[i].nome, static_cast<int>('A' + i), sizeof vetor[i].nome);
        vetor[i].nome[10] = '\0';
        vetor[i].numero = numeros[i];
    }
    return vetor;
}

std::vector<std::int32_t> numeros(const std::vector<Estrutura> &vetor) {
    std::vector<std::int32_t> resultado;
    for (const Estrutura &e : vetor) {
        resultado.push_back(e.numero);
    }
    return resultado;
}

TEST(ManipulaPares, HalvesEachEvenNumberOnce) {
    struct Caso {
        const char *nome;
        std::vector<std::int32_t> antes;
        std::int32_t quantidade;
        std::vector<std::int32_t> depois;
    };
    const std::vector<Caso> casos = {
        {"mixed signs", {10, 7, 8, 0, -6, -7}, 6, {5, 7, 4, 0, -3, -7}},
        {"odd negatives stay", {-1, -3, -2147483647}, 3, {-1, -3, -2147483647}},
        {"even negatives round toward zero", {-2, -4, -10}, 3, {-1, -2, -5}},
        {"the 32-bit limits", {INT32_MIN, INT32_MAX}, 2, {INT32_MIN / 2, INT32_MAX}},
        {"halved once even when the result is even", {8, 64, -16}, 3, {4, 32, -8}},
        {"only the first quantidade", {10, 10, 10}, 2, {5, 5, 10}},
        {"a count of 0", {10, 4}, 0, {10, 4}},
        {"a negative count", {10, 4}, -1, {10, 4}},
        {"the lowest negative count", {10, 4}, INT32_MIN, {10, 4}},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nome);
        std::vector<Estrutura> vetor = registros(caso.antes);
        const std::vector<Estrutura> original = vetor;
        // A count of 0 or less must touch no record: a null array shows any touch.
        manipula_pares(caso.quantidade > 0 ? vetor.data() : nullptr, caso.quantidade);
        EXPECT_EQ(numeros(vetor), caso.depois);
        for (std::size_t i = 0; i < vetor.size(); ++i) {
            EXPECT_EQ(std::memcmp(vetor[i].nome, original[i].nome, sizeof vetor[i].nome), 0)
                << "nome of record " << i << " changed";
        }
    }
}

// Odd numbers too, though manipula_pares never passes one: its rounding is
// toward zero on both sides.
TEST(ManipulaUmPar, HalvesRoundingTowardZero) {
    const std::int32_t antes[] = {8, 7, 1, 0, -1, -7, -8, INT32_MIN, INT32_MAX};
    const std::int32_t depois[] = {4, 3, 0, 0, 0, -3, -4, INT32_MIN / 2, INT32_MAX / 2};
    for (std::size_t i = 0; i < std::size(antes); ++i) {
        Estrutura estrutura{"nome", antes[i]};
        manipula_um_par(&estrutura);
        EXPECT_EQ(estrutura.numero, depois[i]) << antes[i];
        EXPECT_STREQ(estrutura.nome, "nome");
    }
}

// The bytes of a positive quantidade of records where std::size_t can count
// them, else 0.
std::size_t bytes_de(std::int32_t quantidade) {
    const std::uint64_t bytes =
        std::uint64_t{sizeof(Estrutura)} * static_cast<std::uint32_t>(quantidade);
    return bytes <= SIZE_MAX ? static_cast<std::size_t>(bytes) : 0;
}

// A block of quantidade whole records, or null: for a count of 0 or less, for
// one whose bytes do not fit in std::size_t (178,956,971 records of 24 bytes
// wrap around to 8 where it has 32 bits), or when malloc fails (which keeps the
// largest counts from being tried for real).
TEST(AlocaStructs, GivesAWholeBlockOrNull) {
    struct Caso {
        std::int32_t quantidade;
        std::size_t bytes;
        bool sem_memoria;
    };
    constexpr std::size_t R = sizeof(Estrutura);
    static_assert(R == 24);
    for (const Caso caso : {Caso{1, R, false}, Caso{3, 3 * R, false}, Caso{3, 3 * R, true},
                            Caso{178'956'970, bytes_de(178'956'970), true}, // 4 GiB less 16 bytes
                            Caso{178'956'971, bytes_de(178'956'971), true},
                            Caso{INT32_MAX, bytes_de(INT32_MAX), true}, Caso{0, 0, false},
                            Caso{-1, 0, false}, Caso{INT32_MIN, 0, false}}) {
        SCOPED_TRACE(testing::Message()
                     << caso.quantidade << (caso.sem_memoria ? ", no memory" : ""));
        EXPECT_EQ(tamanho_do_vetor(caso.quantidade), caso.bytes);
        Estrutura qualquer{};
        Estrutura *vetor = &qualquer; // not null, to see it overwritten
        falha_na_alocacao(caso.sem_memoria ? 1 : 0);
        aloca_structs(&vetor, caso.quantidade);
        EXPECT_EQ(alocacoes_feitas(), caso.bytes > 0 ? 1 : 0); // no block asked for when none fits
        falha_na_alocacao(0);
        ASSERT_EQ(vetor != nullptr, caso.bytes > 0 && !caso.sem_memoria);
        if (vetor != nullptr) {
            EXPECT_GE(malloc_usable_size(vetor), caso.bytes);
        }
        std::free(vetor);
    }
}

// Names are never printed, so only a look at the records shows how the
// dialogue stored them: each run reads its records from a file, in-process,
// and its output ends with the last record's line.
TEST(DialogoRegistros, StoresEachNameAndNumber) {
    struct Caso {
        const char *nome;
        std::string entrada;
        std::vector<std::pair<std::string, std::int32_t>> registros; // nome, numero halved
    };
    std::vector<Caso> casos = {
        {"19 bytes kept whole", "1\n8\nabcdefghijklmnopqrs\n", {{"abcdefghijklmnopqrs", 4}}},
        {"a longer line cut before a character that does not fit",
         "1\n7\nabcdefghijklmnopqr\xc3\xa7\xc3\xa3o e mais\n",
         {{"abcdefghijklmnopqr", 7}}},
        {"an empty line, then a name", "2\n-6\n\n3\nbeto\n", {{"", -3}, {"beto", 3}}},
        {"a last line without its end", "1\n0\nana", {{"ana", 0}}},
        {"100,000 records, their results far past one output block", "100000\n", {}},
    };
    for (int i = 0; i < 100'000; ++i) {
        casos.back().entrada += "-2\nx\n";
        casos.back().registros.emplace_back("x", -1);
    }
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nome);
        const int arquivo = memfd_create("entrada", 0);
        ASSERT_EQ(write(arquivo, caso.entrada.data(), caso.entrada.size()),
                  static_cast<ssize_t>(caso.entrada.size()));
        ASSERT_EQ(lseek(arquivo, 0, SEEK_SET), 0);
        const int saida = memfd_create("saida", 0);
        auto console = bloco_sujo<Console>();
        inicia_console(console.get(), "teste", arquivo, saida);

        std::int32_t quantidade = 0;
        ASSERT_TRUE(pergunta_quantidade(console.get(), &quantidade));
        ASSERT_EQ(quantidade, static_cast<std::int32_t>(caso.registros.size()));
        std::vector<Estrutura> vetor = registros(std::vector<std::int32_t>(caso.registros.size()));
        EXPECT_EQ(completa_dialogo(console.get(), vetor.data(), quantidade), EXIT_SUCCESS);
        for (std::size_t i = 0; i < vetor.size() && !HasFailure(); ++i) { // the first is enough
            EXPECT_EQ(vetor[i].nome, caso.registros[i].first) << "record " << i;
            EXPECT_EQ(vetor[i].numero, caso.registros[i].second) << "record " << i;
        }
        ASSERT_TRUE(esvazia_saida(&console->saida));
        const std::string ultima = "\nnumero da " + std::to_string(vetor.size()) +
                                   "a estrutura: " + std::to_string(vetor.back().numero);
        std::string fim(ultima.size(), '\0');
        EXPECT_EQ(pread(saida, fim.data(), fim.size(), lseek(saida, 0, SEEK_END) - fim.size()),
                  static_cast<ssize_t>(fim.size()));
        EXPECT_EQ(fim, ultima);
        close(saida);
        close(arquivo);
    }
}

} // namespace
