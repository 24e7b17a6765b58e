#include "dialogo.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view PERGUNTA_TAMANHO = "Qual o tamanho do vetor de estruturas? ";
// "Digite %do numero: ": the position goes between the two parts.
constexpr std::string_view PERGUNTA_NUMERO_ANTES = "Digite ";
constexpr std::string_view PERGUNTA_NUMERO_DEPOIS = "o numero: ";
constexpr std::string_view PERGUNTA_NOME = "\nDigite um nome: ";
// A line end, 14 hyphens and two line ends, as puts writes "\n--------------\n".
constexpr std::string_view SEPARADOR = "\n--------------\n\n";
// "\nnumero da %da estrutura: %d": the position goes between the two parts,
// the number after them.
constexpr std::string_view RESULTADO_ANTES = "\nnumero da ";
constexpr std::string_view RESULTADO_DEPOIS = "a estrutura: ";

// The prompt before each of these has no line end of its own.
constexpr std::string_view SEM_TAMANHO = "\nErro:\n\tEntrada terminou sem o tamanho do vetor\n";
constexpr std::string_view SEM_ESTRUTURAS =
    "\nErro:\n\tEntrada terminou antes de todas as estruturas serem lidas\n";
constexpr std::string_view SEM_VETOR = "\nErro:\n\tVetor de estruturas nao foi alocado\n";

// Room for the number prompt with the longest position.
constexpr std::size_t TAMANHO_PERGUNTA_NUMERO =
    PERGUNTA_NUMERO_ANTES.size() + DIGITOS_INT32 + PERGUNTA_NUMERO_DEPOIS.size();

// "Digite %do numero: " for the 1-based posicao, in texto.
std::string_view pergunta_do_numero(char (&texto)[TAMANHO_PERGUNTA_NUMERO], std::int32_t posicao) {
    char *p = std::copy(PERGUNTA_NUMERO_ANTES.begin(), PERGUNTA_NUMERO_ANTES.end(), texto);
    p = std::to_chars(p, p + DIGITOS_INT32, posicao).ptr;
    p = std::copy(PERGUNTA_NUMERO_DEPOIS.begin(), PERGUNTA_NUMERO_DEPOIS.end(), p);
    return {texto, static_cast<std::size_t>(p - texto)};
}

// Reads the number and then the name of a record, asking its number prompt
// again until a valid number is typed. Gives ok, or fim or erro when the input
// ends or fails first; the record may then be partly filled.
Leitura le_estrutura(Console *console, Estrutura *estrutura, std::int32_t posicao) {
    char pergunta[TAMANHO_PERGUNTA_NUMERO];
    Leitura leitura =
        pergunta_numero(console, pergunta_do_numero(pergunta, posicao), &estrutura->numero);
    if (leitura == Leitura::ok) {
        escreve(&console->saida, PERGUNTA_NOME);
        leitura = le_linha(&console->entrada, estrutura->nome, sizeof estrutura->nome);
    }
    if (leitura == Leitura::ok) {
        escreve(&console->saida, SEPARADOR);
    }
    return leitura;
}

} // namespace

bool pergunta_quantidade(Console *console, std::int32_t *quantidade) {
    const Leitura leitura = pergunta_numero(console, PERGUNTA_TAMANHO, quantidade);
    if (leitura == Leitura::fim) {
        escreve(&console->saida, SEM_TAMANHO);
    }
    return leitura == Leitura::ok;
}

int completa_dialogo(Console *console, Estrutura *vetor, std::int32_t quantidade) {
    if (quantidade <= 0) {
        return EXIT_SUCCESS;
    }
    if (vetor == nullptr) {
        escreve(&console->saida, SEM_VETOR);
        return EXIT_FAILURE;
    }
    for (std::int32_t i = 0; i < quantidade; ++i) {
        const Leitura leitura = le_estrutura(console, &vetor[i], i + 1);
        if (leitura != Leitura::ok) {
            if (leitura == Leitura::fim) {
                escreve(&console->saida, SEM_ESTRUTURAS);
            }
            return EXIT_FAILURE;
        }
    }
    manipula_pares(vetor, quantidade);
    for (std::int32_t i = 0; i < quantidade; ++i) {
        escreve(&console->saida, RESULTADO_ANTES);
        escreve(&console->saida, i + 1);
        escreve(&console->saida, RESULTADO_DEPOIS);
        escreve(&console->saida, vetor[i].numero);
    }
    return EXIT_SUCCESS;
}
