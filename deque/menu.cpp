#include "menu.h"

#include <cstdio>

namespace {

constexpr const char *MENU = "---------------- Qual a operacao? -----------------\n"
                             "[1] - Inserir um elemento no inicio\n"
                             "[2] - Inserir um elemento no final\n"
                             "[3] - Remover um elemento no inicio\n"
                             "[4] - Remover um elemento no final\n"
                             "[5] - Imprimir a fila\n"
                             "[6] - Sair do programa\n"
                             "Operacao: ";

constexpr const char *PERGUNTA_INICIO = "Qual elemento será inserido no incio? ";
constexpr const char *PERGUNTA_FINAL = "Qual elemento será inserido no final? ";
constexpr const char *INSERIDO = "Elemento inserido\n";
constexpr const char *NAO_INSERIDO = "Erro:\n\tElemento não inserido\n";
constexpr const char *REMOVENDO_INICIO = "Removendo no inicio...\n";
constexpr const char *REMOVENDO_FINAL = "Removendo no final...\n";
constexpr const char *REMOVIDO = "Elemento foi removido\n";
constexpr const char *NAO_REMOVIDO = "Erro:\n\tElemento nao foi removido\n";

enum Operacao : std::int32_t {
    INSERIR_INICIO = 1,
    INSERIR_FINAL = 2,
    REMOVER_INICIO = 3,
    REMOVER_FINAL = 4,
    IMPRIMIR = 5,
    SAIR = 6,
};

void escreve(const char *texto) {
    std::fputs(texto, stdout);
}

// Asks for an element until a valid number is typed, then inserts it with
// insere. Returns false when the input ended instead.
bool insere(Deque *deque, Entrada *entrada, const char *pergunta,
            int (*insere_no_deque)(Deque *, std::int32_t)) {
    std::int32_t elemento = 0;
    Leitura leitura = Leitura::invalida;
    while (leitura == Leitura::invalida) {
        escreve(pergunta);
        leitura = le_numero(entrada, &elemento);
    }
    if (leitura == Leitura::fim) {
        return false;
    }
    escreve(insere_no_deque(deque, elemento) != 0 ? INSERIDO : NAO_INSERIDO);
    return true;
}

void retira(Deque *deque, const char *anuncio, int (*remove_do_deque)(Deque *)) {
    escreve(anuncio);
    escreve(remove_do_deque(deque) != 0 ? REMOVIDO : NAO_REMOVIDO);
}

// Runs operations 1 to 5. Returns false when the input ended.
bool executa(Deque *deque, Entrada *entrada, std::int32_t operacao) {
    switch (operacao) {
    case INSERIR_INICIO:
        return insere(deque, entrada, PERGUNTA_INICIO, insere_inicio);
    case INSERIR_FINAL:
        return insere(deque, entrada, PERGUNTA_FINAL, insere_final);
    case REMOVER_INICIO:
        retira(deque, REMOVENDO_INICIO, remove_inicio);
        return true;
    case REMOVER_FINAL:
        retira(deque, REMOVENDO_FINAL, remove_final);
        return true;
    case IMPRIMIR:
        imprime_deque(deque);
        return true;
    default:
        return true;
    }
}

} // namespace

std::int32_t imprime_op(Entrada *entrada) {
    while (true) {
        escreve(MENU);
        std::int32_t operacao = 0;
        switch (le_numero(entrada, &operacao)) {
        case Leitura::fim:
            return OPERACAO_FIM_DA_ENTRADA;
        case Leitura::ok:
            if (operacao >= 0) {
                return operacao;
            }
            break;
        case Leitura::invalida:
            break;
        }
    }
}

void executa_menu(Deque *deque, Entrada *entrada, void (*limpa_tela)()) {
    limpa_tela();
    std::int32_t operacao = 0;
    while (operacao != SAIR) {
        operacao = imprime_op(entrada);
        if (operacao == OPERACAO_FIM_DA_ENTRADA) {
            return;
        }
        if (operacao >= INSERIR_INICIO && operacao <= IMPRIMIR) {
            // The outcome stays on the screen until the person presses Enter.
            if (!executa(deque, entrada, operacao) || descarta_linha(entrada) == Leitura::fim) {
                return;
            }
        }
        limpa_tela();
    }
}
