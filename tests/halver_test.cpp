#include "sessao.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string TAMANHO = "Qual o tamanho do vetor de estruturas? ";
const std::string NOME = "\nDigite um nome: ";
const std::string SEPARADOR = "\n--------------\n\n";
const std::string SEM_TAMANHO = "\nErro:\n\tEntrada terminou sem o tamanho do vetor\n";
const std::string SEM_ESTRUTURAS =
    "\nErro:\n\tEntrada terminou antes de todas as estruturas serem lidas\n";
const std::string SEM_VETOR = "\nErro:\n\tVetor de estruturas nao foi alocado\n";
const std::string CONSOLE_NAO_CRIADO = "Erro:\n\tConsole nao foi criado\n";

std::string numero(int posicao) {
    return "Digite " + std::to_string(posicao) + "o numero: ";
}

// The prompts of a record whose number was valid at the first try.
std::string registro(int posicao) {
    return numero(posicao) + NOME + SEPARADOR;
}

std::string resultado(int posicao, int valor) {
    return "\nnumero da " + std::to_string(posicao) + "a estrutura: " + std::to_string(valor);
}

struct Programa {
    const char *nome;
    const char *caminho;
    const char *com_falha; // the same program with the malloc failure switch
};

// Names the program, not its bytes, in test listings.
void PrintTo(const Programa &programa, std::ostream *saida) {
    *saida << programa.nome;
}

// Many records at once: a reader that throws away read-ahead loses them in a pipe.
Transcricao muitos_registros() {
    Transcricao t{"300 records in one go", "300\n", TAMANHO, 0};
    std::string resultados;
    for (int i = 1; i <= 300; ++i) {
        t.entrada += std::to_string(i) + "\nnome " + std::to_string(i) + "\n";
        t.saida += registro(i);
        resultados += resultado(i, i % 2 == 0 ? i / 2 : i);
    }
    t.saida += resultados;
    return t;
}

const std::string NOME_19 = "abcdefghijklmnopqrs";
// 18 ASCII bytes, then a two-byte character across the 19-byte limit.
const std::string NOME_CORTADO_NO_MEIO = "abcdefghijklmnopqr\xc3\xa7\xc3\xa3o e mais coisa";

const std::vector<Transcricao> TRANSCRICOES = {
    {"two records, the second odd", "2\n10\nana\n7\nbeto\n",
     "Qual o tamanho do vetor de estruturas? Digite 1o numero: \nDigite um nome: \n"
     "--------------\n\nDigite 2o numero: \nDigite um nome: \n--------------\n\n"
     "\nnumero da 1a estrutura: 5\nnumero da 2a estrutura: 7",
     0},
    {"each even number halved once", "3\n8\nana\n-6\nbia\n0\ncris\n",
     TAMANHO + registro(1) + registro(2) + registro(3) + resultado(1, 4) + resultado(2, -3) +
         resultado(3, 0),
     0},
    {"the 32-bit limits", "2\n-2147483648\nx\n2147483647\ny\n",
     TAMANHO + registro(1) + registro(2) + resultado(1, -1073741824) + resultado(2, 2147483647), 0},
    {"count 0 reads nothing more", "0\n4\nana\n", TAMANHO, 0},
    {"a negative count reads nothing more", "-3\n4\nana\n", TAMANHO, 0},
    {"a count that is not a number is asked again", "abc\n\n2147483648\n1\n4\nana\n",
     TAMANHO + TAMANHO + TAMANHO + registro(1) + resultado(1, 2), 0},
    {"a number that is not a number is asked again", "1\nquatro\n-2147483649\n-\n\n-4\nana\n",
     TAMANHO + numero(1) + numero(1) + numero(1) + numero(1) + NOME + SEPARADOR + resultado(1, -2),
     0},
    {"the name is the line after the number's line", "1\n10 dez\nana\n",
     TAMANHO + registro(1) + resultado(1, 5), 0},
    {"an empty line is an empty name", "2\n4\n\n6\nb\n",
     TAMANHO + registro(1) + registro(2) + resultado(1, 2) + resultado(2, 3), 0},
    {"a name that looks like a number", "2\n4\n6\n8\n10\n",
     TAMANHO + registro(1) + registro(2) + resultado(1, 2) + resultado(2, 4), 0},
    {"names of 19 bytes and longer, cut inside a UTF-8 character",
     "3\n4\n" + NOME_19 + "\n6\n" + NOME_CORTADO_NO_MEIO + "\n8\n" + std::string(3000, 'x') + "\n",
     TAMANHO + registro(1) + registro(2) + registro(3) + resultado(1, 2) + resultado(2, 3) +
         resultado(3, 4),
     0},
    {"a name far longer than any buffer", "2\n4\n" + std::string(200'000, 'x') + "\n6\nb\n",
     TAMANHO + registro(1) + registro(2) + resultado(1, 2) + resultado(2, 3), 0, false},
    {"blank lines before a number are passed over", "\n\n1\n\n4\nana\n",
     TAMANHO + registro(1) + resultado(1, 2), 0},
    {"a last line without its line end", "1\n4\nana", TAMANHO + registro(1) + resultado(1, 2), 0},
    muitos_registros(),
    {"end of input at the count", "", TAMANHO + SEM_TAMANHO, 1},
    {"end of input after a bad count", "x\n", TAMANHO + TAMANHO + SEM_TAMANHO, 1},
    {"end of input at a number", "2\n4\nana\n", TAMANHO + registro(1) + numero(2) + SEM_ESTRUTURAS,
     1},
    {"end of input after a bad number", "1\nx\n", TAMANHO + numero(1) + numero(1) + SEM_ESTRUTURAS,
     1},
    {"end of input at a name", "1\n4\n", TAMANHO + numero(1) + NOME + SEM_ESTRUTURAS, 1},
    {"end of input at a name, the number without its line end", "1\n4",
     TAMANHO + numero(1) + NOME + SEM_ESTRUTURAS, 1},
};

class Halver : public testing::TestWithParam<Programa> {};

// Every transcript has one expected output, so pipe and terminal must agree byte for byte.
TEST_P(Halver, TranscriptsThroughAPipeAndAtATerminal) {
    for (const Transcricao &t : TRANSCRICOES) {
        confere_transcricao(GetParam().caminho, t, "");
    }
}

// Sessions connected otherwise than through an ordinary pipe or terminal; the
// messages name the program.
std::vector<Transcricao> outras_ligacoes(const std::string &programa) {
    const std::string saida_falhou = programa + ": saida nao pode ser escrita: ";
    const std::string entrada_falhou = programa + ": entrada nao pode ser lida: ";
    const std::string dois = "2\n10\nana\n7\nbeto\n";
    const std::string dois_lidos =
        TAMANHO + registro(1) + registro(2) + resultado(1, 5) + resultado(2, 7);
    std::string muitos = "3000\n";
    for (int i = 1; i <= 3000; ++i) {
        muitos += std::to_string(i) + "\nnome\n"; // 250 KB of prompts and results
    }
    return {
        {.nome = "output to a full device",
         .entrada = dois,
         .saida = "",
         .status = 1,
         .erro = saida_falhou + "No space left on device\n",
         .arranjo = {.destino = Destino::cheio}},
        {.nome = "output closed, count 0",
         .entrada = "0\n",
         .saida = "",
         .status = 1,
         .erro = saida_falhou + "Bad file descriptor\n",
         .arranjo = {.destino = Destino::fechado}},
        {.nome = "a reader that leaves after 10 bytes ends it with SIGPIPE",
         .entrada = muitos,
         .saida = TAMANHO.substr(0, 10),
         .status = 128 + SIGPIPE,
         .arranjo = {.destino = Destino::breve}},
        {.nome = "answers that arrive late at a non-blocking input",
         .entrada = dois,
         .saida = dois_lidos,
         .arranjo = {.origem = Origem::atrasada, .espera = TAMANHO.c_str()}},
        {.nome = "a folder as input",
         .entrada = "",
         .saida = TAMANHO,
         .status = 1,
         .erro = entrada_falhou + "Is a directory\n",
         .arranjo = {.origem = Origem::caminho, .caminho = "/"}},
        {.nome = "input closed",
         .entrada = "",
         .saida = TAMANHO,
         .status = 1,
         .erro = entrada_falhou + "Bad file descriptor\n",
         .arranjo = {.origem = Origem::fechada}},
        {.nome = "the lines after the last record are left to the next reader of the file",
         .entrada = "1\n4\nana\nmais 1\nmais 2\n",
         .saida = TAMANHO + registro(1) + resultado(1, 2),
         .resto = "mais 1\nmais 2\n",
         .arranjo = {.origem = Origem::arquivo}},
        {.nome = "the lines after a count of 0 are left to the next reader of the file",
         .entrada = "0\n4\nana\n",
         .saida = TAMANHO,
         .resto = "4\nana\n",
         .arranjo = {.origem = Origem::arquivo}},
        {.nome = "a 64 KiB stack",
         .entrada = dois,
         .saida = dois_lidos,
         .arranjo = {.pilha = 64 * 1024}},
    };
}

TEST_P(Halver, OtherInputsAndOutputs) {
    for (const Transcricao &t : outras_ligacoes(GetParam().nome)) {
        confere_transcricao(GetParam().caminho, t, "");
    }
}

// Each kind of wait: the count (asked again after a bad one), a number, a name.
TEST_P(Halver, EachAnswerIsTypedOnlyOnceItsPromptIsOnTheScreen) {
    const std::vector<Troca> trocas = {
        {TAMANHO, "x\n"}, {TAMANHO, "2\n"},   {numero(1), "10\n"},
        {NOME, "ana\n"},  {numero(2), "7\n"}, {NOME, "beto\n"},
    };
    const Sessao sessao = dialoga(GetParam().caminho, trocas, "");
    EXPECT_EQ(sessao.saida,
              TAMANHO + TAMANHO + registro(1) + registro(2) + resultado(1, 5) + resultado(2, 7));
    EXPECT_EQ(sessao.status, 0);
}

// Either program allocates its console, then, for a count above 0, its array.
// When the console fails nothing is read; when the array fails, the count
// prompt is followed by the error and nothing else is read.
TEST_P(Halver, EveryAllocationFailsInTurn) {
    const std::vector<std::pair<std::string, long>> sessoes = {
        {"2\n10\nana\n7\nbeto\n", 2},
        {"x\n1\n4\nana", 2},
        {"3\n4\nana\n", 2}, // the input ends before the second record
        {"0\n", 1},         // a count of 0 allocates no array
        {"-5\n", 1},
    };
    std::size_t pontos = 0;
    for (const auto &[entrada, alocacoes] : sessoes) {
        SCOPED_TRACE(entrada);
        const std::vector<Sessao> resultados =
            com_cada_alocacao_falhando(GetParam().com_falha, entrada, "");
        ASSERT_EQ(static_cast<long>(resultados.size()) - 1, alocacoes);
        const std::string &inteira = resultados[0].saida;
        const std::string sem_vetor =
            inteira.substr(0, inteira.rfind(TAMANHO) + TAMANHO.size()) + SEM_VETOR;
        EXPECT_EQ(resultados[1].saida, CONSOLE_NAO_CRIADO);
        EXPECT_EQ(resultados[1].status, 1);
        for (std::size_t n = 2; n < resultados.size(); ++n) {
            EXPECT_EQ(resultados[n].saida, sem_vetor);
            EXPECT_EQ(resultados[n].status, 1);
        }
        pontos += resultados.size() - 1;
    }
    std::printf("%s: %zu allocation points made to fail\n", GetParam().nome, pontos);
}

INSTANTIATE_TEST_SUITE_P(
    Programas, Halver,
    testing::Values(Programa{"halver", PROGRAMA_HALVER, PROGRAMA_HALVER_FALHA},
                    Programa{"halver_alloc", PROGRAMA_HALVER_ALLOC, PROGRAMA_HALVER_ALLOC_FALHA}),
    [](const testing::TestParamInfo<Programa> &info) { return std::string(info.param.nome); });

} // namespace
