#include "dialogo.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char *PERGUNTA_TAMANHO = "Qual o tamanho do vetor de estruturas? ";
constexpr const char *PERGUNTA_NUMERO = "Digite %do numero: ";
constexpr const char *PERGUNTA_NOME = "\nDigite um nome: ";
constexpr const char *SEPARADOR = "\n--------------\n"; // puts ends it with one more line end
constexpr const char *RESULTADO = "\nnumero da %da estrutura: %d";

// The prompt before each of these has no line end of its own.
constexpr const char *SEM_TAMANHO = "\nErro:\n\tEntrada terminou sem o tamanho do vetor\n";
constexpr const char *SEM_ESTRUTURAS =
    "\nErro:\n\tEntrada terminou antes de todas as estruturas serem lidas\n";
constexpr const char *SEM_VETOR = "\nErro:\n\tVetor de estruturas nao foi alocado\n";

void escreve(const char *texto) {
    std::fputs(texto, stdout);
}

// Reads the number and then the name of the record at 1-based posicao, asking
// again for the number until a valid one is typed. Returns false when the input
// ends first; the record may then be partly filled.
bool le_estrutura(Entrada *entrada, Estrutura *estrutura, std::int32_t posicao) {
    Leitura leitura = Leitura::invalida;
    while (leitura == Leitura::invalida) {
        std::printf(PERGUNTA_NUMERO, posicao);
        leitura = le_numero(entrada, &estrutura->numero);
    }
    if (leitura == Leitura::fim) {
        return false;
    }
    escreve(PERGUNTA_NOME);
    if (le_linha(entrada, estrutura->nome, sizeof estrutura->nome) == Leitura::fim) {
        return false;
    }
    std::puts(SEPARADOR);
    return true;
}

} // namespace

bool pergunta_quantidade(Entrada *entrada, std::int32_t *quantidade) {
    Leitura leitura = Leitura::invalida;
    while (leitura == Leitura::invalida) {
        escreve(PERGUNTA_TAMANHO);
        leitura = le_numero(entrada, quantidade);
    }
    if (leitura == Leitura::fim) {
        escreve(SEM_TAMANHO);
        return false;
    }
    return true;
}

int completa_dialogo(Entrada *entrada, Estrutura *vetor, std::int32_t quantidade) {
    if (quantidade <= 0) {
        return EXIT_SUCCESS;
    }
    if (vetor == nullptr) {
        escreve(SEM_VETOR);
        return EXIT_FAILURE;
    }
    for (std::int32_t i = 0; i < quantidade; ++i) {
        if (!le_estrutura(entrada, &vetor[i], i + 1)) {
            escreve(SEM_ESTRUTURAS);
            return EXIT_FAILURE;
        }
    }
    manipula_pares(vetor, quantidade);
    for (std::int32_t i = 0; i < quantidade; ++i) {
        std::printf(RESULTADO, i + 1, vetor[i].numero);
    }
    return EXIT_SUCCESS;
}
