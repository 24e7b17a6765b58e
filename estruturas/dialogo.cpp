#include "dialogo.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <cstring>
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

// The number prompt of the record at 1-based posicao, built once for all the
// times it may be asked.
struct PerguntaNumero {
    char texto[PERGUNTA_NUMERO_ANTES.size() + DIGITOS_INT32 + PERGUNTA_NUMERO_DEPOIS.size()];
    std::size_t tamanho;
};

PerguntaNumero pergunta_numero_de(std::int32_t posicao) {
    PerguntaNumero pergunta{};
    char *p = pergunta.texto;
    p = std::copy(PERGUNTA_NUMERO_ANTES.begin(), PERGUNTA_NUMERO_ANTES.end(), p);
    p = std::to_chars(p, p + DIGITOS_INT32, posicao).ptr;
    p = std::copy(PERGUNTA_NUMERO_DEPOIS.begin(), PERGUNTA_NUMERO_DEPOIS.end(), p);
    pergunta.tamanho = static_cast<std::size_t>(p - pergunta.texto);
    return pergunta;
}

// Reads the number and then the name of the record at 1-based posicao, asking
// again for the number until a valid one is typed. Gives ok, or fim or erro
// when the input ends or fails first; the record may then be partly filled.
Leitura le_estrutura(Console *console, Estrutura *estrutura, std::int32_t posicao) {
    const PerguntaNumero pergunta = pergunta_numero_de(posicao);
    const Leitura numero = pergunta_numero(
        console, std::string_view(pergunta.texto, pergunta.tamanho), &estrutura->numero);
    if (numero != Leitura::ok) {
        return numero;
    }
    escreve(&console->saida, PERGUNTA_NOME);
    const Leitura nome = le_linha(&console->entrada, estrutura->nome, sizeof estrutura->nome);
    if (nome != Leitura::ok) {
        return nome;
    }
    escreve(&console->saida, SEPARADOR);
    return Leitura::ok;
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
