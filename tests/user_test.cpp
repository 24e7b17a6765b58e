#include "sessao.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string C = MARCA_CLEAR;
const std::string MENU = "---------------- Qual a operacao? -----------------\n"
                         "[1] - Inserir um elemento no inicio\n"
                         "[2] - Inserir um elemento no final\n"
                         "[3] - Remover um elemento no inicio\n"
                         "[4] - Remover um elemento no final\n"
                         "[5] - Imprimir a fila\n"
                         "[6] - Sair do programa\n"
                         "Operacao: ";
const std::string NO_INICIO = "Qual elemento será inserido no incio? ";
const std::string NO_FINAL = "Qual elemento será inserido no final? ";
const std::string INSERIDO = "Elemento inserido\n";
const std::string NAO_INSERIDO = "Erro:\n\tElemento não inserido\n";
const std::string REMOVENDO_INICIO = "Removendo no inicio...\n";
const std::string REMOVENDO_FINAL = "Removendo no final...\n";
const std::string REMOVIDO = "Elemento foi removido\n";
const std::string NAO_REMOVIDO = "Erro:\n\tElemento nao foi removido\n";
const std::string CONSOLE_NAO_CRIADO = "Erro:\n\tConsole nao foi criado\n";

std::string lista(const std::string &elementos) {
    return "Deque:\n\t{ " + elementos + "}\n";
}

// The screen after the start or an answer: cleared, then the menu.
const std::string TELA = C + MENU;

const std::vector<Transcricao> TRANSCRICOES = {
    {"leave at once", "6\n", TELA + C},
    {"0 and 7 only bring the menu back", "0\n7\n6\n", TELA + TELA + TELA + C},
    {"a negative answer asks again below", "-3\n6\n", TELA + MENU + C},
    {"removals from an empty deque", "3\n\n4\n\n6\n",
     TELA + REMOVENDO_INICIO + NAO_REMOVIDO + TELA + REMOVENDO_FINAL + NAO_REMOVIDO + TELA + C},
    {"listing an empty deque", "5\n\n6\n", TELA + lista("") + TELA + C},
    {"inserts at both ends", "1\n10\n\n2\n20\n\n1\n5\n\n5\n\n6\n",
     TELA + NO_INICIO + INSERIDO + TELA + NO_FINAL + INSERIDO + TELA + NO_INICIO + INSERIDO + TELA +
         lista("5 10 20 ") + TELA + C},
    {"removals at both ends", "2\n1\n\n2\n2\n\n2\n3\n\n3\n\n4\n\n5\n\n6\n",
     TELA + NO_FINAL + INSERIDO + TELA + NO_FINAL + INSERIDO + TELA + NO_FINAL + INSERIDO + TELA +
         REMOVENDO_INICIO + REMOVIDO + TELA + REMOVENDO_FINAL + REMOVIDO + TELA + lista("2 ") +
         TELA + C},
    {"an element that is not a number is asked again", "1\nabc\n99999999999\n-4\n\n5\n\n6\n",
     TELA + NO_INICIO + NO_INICIO + NO_INICIO + INSERIDO + TELA + lista("-4 ") + TELA + C},
    {"a menu answer that is not a number asks again", "abc\n99999999999\n\n \n6\n",
     TELA + MENU + MENU + C},
    {"the rest of a line is dropped", "2 junk\n42 43\n\n5 5\nqualquer coisa\n6\n",
     TELA + NO_FINAL + INSERIDO + TELA + lista("42 ") + TELA + C},
    {"the 32-bit limits", "2\n2147483647\n\n2\n-2147483648\n\n5\n\n6\n",
     TELA + NO_FINAL + INSERIDO + TELA + NO_FINAL + INSERIDO + TELA +
         lista("2147483647 -2147483648 ") + TELA + C},
    {"end of input at the menu ends its line", "", TELA + "\n"},
    {"end of input at an element ends its line", "1\n", TELA + NO_INICIO + "\n"},
    {"end of input after a bad element", "2\nx\n", TELA + NO_FINAL + NO_FINAL + "\n"},
    {"end of input at the pause", "3\n", TELA + REMOVENDO_INICIO + NAO_REMOVIDO},
    {"end of input after an unknown answer", "9\n", TELA + TELA + "\n"},
    {"a last line without its end", "6", TELA + C},
    {"an element line far longer than any buffer",
     "1\n" + std::string(200'000, '9') + "\n1\n\n5\n\n6\n",
     TELA + NO_INICIO + NO_INICIO + INSERIDO + TELA + lista("1 ") + TELA + C, 0, false},
};

TEST(UserTranscricoes, ThroughAPipeAndAtATerminal) {
    for (const Transcricao &t : TRANSCRICOES) {
        confere_transcricao(PROGRAMA_USER, t, caminho_com_clear_falso());
    }
}

// Sessions connected otherwise than through an ordinary pipe or terminal.
const std::vector<Transcricao> OUTRAS_LIGACOES = {
    {.nome = "output to a full device",
     .entrada = "1\n5\n\n6\n",
     .saida = "",
     .status = 1,
     .erro = "user: saida nao pode ser escrita: No space left on device\n",
     .arranjo = {.destino = Destino::cheio}},
    {.nome = "output closed",
     .entrada = "",
     .saida = "",
     .status = 1,
     .erro = "user: saida nao pode ser escrita: Bad file descriptor\n",
     .arranjo = {.destino = Destino::fechado}},
    {.nome = "a reader that leaves after 10 bytes ends it with SIGPIPE",
     .entrada =
         [] {
             std::string respostas;
             for (int i = 0; i < 1000; ++i) {
                 respostas += "-1\n"; // the menu again, 250 KB in all
             }
             return respostas + "6\n";
         }(),
     .saida = TELA.substr(0, 10),
     .status = 128 + SIGPIPE,
     .arranjo = {.destino = Destino::breve}},
    {.nome = "answers that arrive late at a non-blocking input",
     .entrada = "2\n20\n\n5\n\n6\n",
     .saida = TELA + NO_FINAL + INSERIDO + TELA + lista("20 ") + TELA + C,
     .arranjo = {.origem = Origem::atrasada, .espera = "Operacao: "}},
    {.nome = "a folder as input",
     .entrada = "",
     .saida = TELA,
     .status = 1,
     .erro = "user: entrada nao pode ser lida: Is a directory\n",
     .arranjo = {.origem = Origem::caminho, .caminho = "/"}},
    {.nome = "input closed",
     .entrada = "",
     .saida = TELA,
     .status = 1,
     .erro = "user: entrada nao pode ser lida: Bad file descriptor\n",
     .arranjo = {.origem = Origem::fechada}},
    {.nome = "the lines after leaving are left to the next reader of the file",
     .entrada = "6\nresto 1\nresto 2\n",
     .saida = TELA + C,
     .resto = "resto 1\nresto 2\n",
     .arranjo = {.origem = Origem::arquivo}},
    {.nome = "a 64 KiB stack",
     .entrada = "1\n10\n\n5\n\n6\n",
     .saida = TELA + NO_INICIO + INSERIDO + TELA + lista("10 ") + TELA + C,
     .arranjo = {.pilha = 64 * 1024}},
};

TEST(UserTranscricoes, OtherInputsAndOutputs) {
    for (const Transcricao &t : OUTRAS_LIGACOES) {
        confere_transcricao(PROGRAMA_USER, t, caminho_com_clear_falso());
    }
}

// Each kind of wait: the menu, an element (asked again after a bad one), the
// pause after an outcome and after a listing.
TEST(UserTerminal, EachAnswerIsTypedOnlyOnceItsPromptIsOnTheScreen) {
    const std::vector<Troca> trocas = {
        {MENU, "1\n"},    {NO_INICIO, "5\n"},  {INSERIDO, "\n"},
        {MENU, "2\n"},    {NO_FINAL, "x\n"},   {NO_FINAL, "7\n"},
        {INSERIDO, "\n"}, {MENU, "4\n"},       {REMOVENDO_FINAL + REMOVIDO, "\n"},
        {MENU, "5\n"},    {lista("5 "), "\n"}, {MENU, "abc\n"},
        {MENU, "6\n"},
    };
    const Sessao sessao = dialoga(PROGRAMA_USER, trocas, caminho_com_clear_falso());
    EXPECT_EQ(sessao.status, 0);
}

TEST(UserTerminal, TheRealClearClearsTheScreen) {
    setenv("TERM", "xterm", 1);
    const Sessao sessao = executa(PROGRAMA_USER, "6\n", Modo::terminal, "");
    EXPECT_EQ(sessao.status, 0);
    const std::string limpa = "\x1b[H\x1b[2J";
    ASSERT_EQ(sessao.saida.rfind(limpa, 0), 0U) << "the screen is not cleared at the start";
    EXPECT_NE(sessao.saida.find(limpa, limpa.size()), std::string::npos)
        << "the screen is not cleared on leaving";
    EXPECT_NE(sessao.saida.find(MENU), std::string::npos);
}

// One answer to the menu and, for an insertion, the element typed after it.
struct Passo {
    int operacao;
    std::int32_t elemento = 0;
};

struct Esperado {
    std::string entrada;
    std::string saida;
    int status;
    long alocacoes; // the allocations of a run in which none fails
};

// The input of a session made of passos, ending after the last of them, and its
// outcome when the run's n-th allocation fails (0: none does). The first
// allocation is the console's, the second the deque's; each insertion then
// allocates its node, and one that fails leaves the deque as it was.
Esperado modelo(const std::vector<Passo> &passos, long falha) {
    if (falha == 1 || falha == 2) {
        return {"", falha == 1 ? CONSOLE_NAO_CRIADO : "Erro:\n\tDeque nao foi criado\n", 1, 0};
    }
    Esperado e{"", TELA, 0, 2};
    std::deque<std::int32_t> deque;
    for (const Passo &passo : passos) {
        e.entrada += std::to_string(passo.operacao) + "\n";
        if (passo.operacao == 1 || passo.operacao == 2) {
            e.entrada += std::to_string(passo.elemento) + "\n";
            e.saida += passo.operacao == 1 ? NO_INICIO : NO_FINAL;
            if (++e.alocacoes == falha) {
                e.saida += NAO_INSERIDO;
            } else {
                e.saida += INSERIDO;
                passo.operacao == 1 ? deque.push_front(passo.elemento)
                                    : deque.push_back(passo.elemento);
            }
        } else if (passo.operacao == 3 || passo.operacao == 4) {
            e.saida += (passo.operacao == 3 ? REMOVENDO_INICIO : REMOVENDO_FINAL) +
                       (deque.empty() ? NAO_REMOVIDO : REMOVIDO);
            if (!deque.empty()) {
                passo.operacao == 3 ? deque.pop_front() : deque.pop_back();
            }
        } else if (passo.operacao == 5) {
            std::string elementos;
            for (const std::int32_t elemento : deque) {
                elementos += std::to_string(elemento) + " ";
            }
            e.saida += lista(elementos);
        }
        if (passo.operacao == 6) {
            e.saida += C;
        } else {
            e.entrada += "\n"; // the pause
            e.saida += TELA;
        }
    }
    if (passos.back().operacao != 6) {
        e.saida += "\n"; // the input ends at the menu
    }
    return e;
}

TEST(UserSemMemoria, EveryAllocationFailsInTurn) {
    const std::vector<std::vector<Passo>> sessoes = {
        {{6}},
        {{1, 10}, {2, 20}, {1, 5}, {5}, {3}, {4}, {5}, {2, -7}, {5}, {6}},
        {{2, 1}, {4}, {1, 2}, {3}, {5}}, // emptied, refilled; the input ends at the menu
    };
    std::size_t pontos = 0;
    for (const std::vector<Passo> &passos : sessoes) {
        const Esperado inteira = modelo(passos, 0);
        SCOPED_TRACE(inteira.entrada);
        const std::vector<Sessao> resultados = com_cada_alocacao_falhando(
            PROGRAMA_USER_FALHA, inteira.entrada, caminho_com_clear_falso());
        ASSERT_EQ(static_cast<long>(resultados.size()) - 1, inteira.alocacoes);
        for (std::size_t n = 0; n < resultados.size(); ++n) {
            SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
            const Esperado esperado = modelo(passos, static_cast<long>(n));
            EXPECT_EQ(resultados[n].saida, esperado.saida);
            EXPECT_EQ(resultados[n].status, esperado.status);
        }
        pontos += resultados.size() - 1;
    }
    std::printf("user: %zu allocation points made to fail\n", pontos);
}

} // namespace
