#include "sessao.h"

#include <cstdlib>
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

std::string lista(const std::string &elementos) {
    return "Deque:\n\t{ " + elementos + "}\n";
}

// The screen after the start or an answer: cleared, then the menu.
const std::string TELA = C + MENU;

struct Transcricao {
    const char *nome;
    std::string entrada;
    std::string saida;
    bool tambem_no_terminal = true; // a terminal cuts lines longer than 4 KiB
};

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
    {"end of input at the menu", "", TELA},
    {"end of input at an element", "1\n", TELA + NO_INICIO},
    {"end of input after a bad element", "2\nx\n", TELA + NO_FINAL + NO_FINAL},
    {"end of input at the pause", "3\n", TELA + REMOVENDO_INICIO + NAO_REMOVIDO},
    {"end of input after an unknown answer", "9\n", TELA + TELA},
    {"a last line without its end", "6", TELA + C},
    {"an element line far longer than any buffer",
     "1\n" + std::string(200'000, '9') + "\n1\n\n5\n\n6\n",
     TELA + NO_INICIO + NO_INICIO + INSERIDO + TELA + lista("1 ") + TELA + C, false},
};

TEST(UserTranscricoes, ThroughAPipeAndAtATerminal) {
    for (const Transcricao &t : TRANSCRICOES) {
        for (const Modo modo : {Modo::pipe, Modo::terminal}) {
            if (modo == Modo::terminal && !t.tambem_no_terminal) {
                continue;
            }
            SCOPED_TRACE(std::string(t.nome) + (modo == Modo::pipe ? " (pipe)" : " (terminal)"));
            const Sessao sessao = executa_com_clear_falso(PROGRAMA_USER, t.entrada, modo);
            EXPECT_EQ(sessao.saida, t.saida);
            EXPECT_EQ(sessao.status, 0);
        }
    }
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

TEST(UserSemMemoria, TheDequeOrANodeCannotBeAllocated) {
    struct Caso {
        const char *falha;
        std::string entrada;
        std::string saida;
        int status;
    };
    const std::vector<Caso> casos = {
        {"1", "6\n", "Erro:\n\tDeque nao foi criado\n", 1},
        {"2", "1\n5\n\n2\n6\n\n5\n\n6\n",
         TELA + NO_INICIO + NAO_INSERIDO + TELA + NO_FINAL + INSERIDO + TELA + lista("6 ") + TELA +
             C,
         0},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.falha);
        setenv("FALHA_NA_ALOCACAO", caso.falha, 1);
        const Sessao sessao =
            executa_com_clear_falso(PROGRAMA_USER_FALHA, caso.entrada, Modo::pipe);
        unsetenv("FALHA_NA_ALOCACAO");
        EXPECT_EQ(sessao.saida, caso.saida);
        EXPECT_EQ(sessao.status, caso.status);
    }
}

} // namespace
