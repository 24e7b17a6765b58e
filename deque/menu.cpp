#include "menu.h"

#include <string_view>

namespace {

constexpr std::string_view MENU = "---------------- Qual a operacao? -----------------\n"
                                  "[1] - Inserir um elemento no inicio\n"
                                  "[2] - Inserir um elemento no final\n"
                                  "[3] - Remover um elemento no inicio\n"
                                  "[4] - Remover um elemento no final\n"
                                  "[5] - Imprimir a fila\n"
                                  "[6] - Sair do programa\n"
                                  "Operacao: ";

constexpr std::string_view PERGUNTA_INICIO = "Qual elemento será inserido no incio? ";
constexpr std::string_view PERGUNTA_FINAL = "Qual elemento será inserido no final? ";
constexpr std::string_view INSERIDO = "Elemento inserido\n";
constexpr std::string_view NAO_INSERIDO = "Erro:\n\tElemento não inserido\n";
constexpr std::string_view REMOVENDO_INICIO = "Removendo no inicio...\n";
constexpr std::string_view REMOVENDO_FINAL = "Removendo no final...\n";
constexpr std::string_view REMOVIDO = "Elemento foi removido\n";
constexpr std::string_view NAO_REMOVIDO = "Erro:\n\tElemento nao foi removido\n";
constexpr std::string_view FIM_DE_LINHA = "\n";

enum Operacao : std::int32_t {
    INSERIR_INICIO = 1,
    INSERIR_FINAL = 2,
    REMOVER_INICIO = 3,
    REMOVER_FINAL = 4,
    IMPRIMIR = 5,
    SAIR = 6,
};

// pergunta_numero for a prompt that leaves its line open: when the input ends
// there, the line is ended, so that the shell's prompt starts a line of its own.
Leitura pergunta(Console *console, std::string_view texto, std::int32_t *numero) {
    const Leitura leitura = pergunta_numero(console, texto, numero);
    if (leitura == Leitura::fim) {
        escreve(&console->saida, FIM_DE_LINHA);
    }
    return leitura;
}

// Asks for an element until a valid number is typed, then inserts it with
// insere_no_deque. Returns false when the input ended or failed instead.
bool insere(Deque *deque, Console *console, std::string_view texto,
            int (*insere_no_deque)(Deque *, std::int32_t)) {
    std::int32_t elemento = 0;
    if (pergunta(console, texto, &elemento) != Leitura::ok) {
        return false;
    }
    escreve(&console->saida, insere_no_deque(deque, elemento) != 0 ? INSERIDO : NAO_INSERIDO);
    return true;
}

void retira(Deque *deque, Console *console, std::string_view anuncio,
            int (*remove_do_deque)(Deque *)) {
    escreve(&console->saida, anuncio);
    escreve(&console->saida, remove_do_deque(deque) != 0 ? REMOVIDO : NAO_REMOVIDO);
}

// Runs one of the operations 1 to 5. Returns false when the input ended or
// failed.
bool executa(Deque *deque, Console *console, std::int32_t operacao) {
    switch (operacao) {
    case INSERIR_INICIO:
        return insere(deque, console, PERGUNTA_INICIO, insere_inicio);
    case INSERIR_FINAL:
        return insere(deque, console, PERGUNTA_FINAL, insere_final);
    case REMOVER_INICIO:
        retira(deque, console, REMOVENDO_INICIO, remove_inicio);
        break;
    case REMOVER_FINAL:
        retira(deque, console, REMOVENDO_FINAL, remove_final);
        break;
    case IMPRIMIR:
        escreve_deque(deque, escreve_trecho, &console->saida);
        break;
    }
    return true;
}

} // namespace

std::int32_t imprime_op(Console *console) {
    while (true) {
        std::int32_t operacao = 0;
        if (pergunta(console, MENU, &operacao) != Leitura::ok) {
            return OPERACAO_FIM_DA_ENTRADA;
        }
        if (operacao >= 0) {
            return operacao;
        }
    }
}

void executa_menu(Deque *deque, Console *console, void (*limpa_tela)(Saida *saida)) {
    limpa_tela(&console->saida);
    std::int32_t operacao = 0;
    while (operacao != SAIR) {
        operacao = imprime_op(console);
        if (operacao == OPERACAO_FIM_DA_ENTRADA) {
            return;
        }
        if (operacao >= INSERIR_INICIO && operacao <= IMPRIMIR) {
            // The outcome stays on the screen until the person presses Enter.
            if (!executa(deque, console, operacao) ||
                descarta_linha(&console->entrada) != Leitura::ok) {
                return;
            }
        }
        limpa_tela(&console->saida);
    }
}
