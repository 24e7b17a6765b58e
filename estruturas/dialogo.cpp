#include "dialogo.h"

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr const char *PERGUNTA_TAMANHO = "Qual o tamanho do vetor de estruturas? ";
// "Digite %do numero: ": the position goes between the two parts.
constexpr std::string_view PERGUNTA_NUMERO_ANTES = "Digite ";
constexpr std::string_view PERGUNTA_NUMERO_DEPOIS = "o numero: ";
constexpr const char *PERGUNTA_NOME = "\nDigite um nome: ";
constexpr const char *SEPARADOR = "\n--------------\n"; // puts ends it with one more line end
// "\nnumero da %da estrutura: %d": the position goes between the two parts,
// the number after them.
constexpr std::string_view RESULTADO_ANTES = "\nnumero da ";
constexpr std::string_view RESULTADO_DEPOIS = "a estrutura: ";

// The prompt before each of these has no line end of its own.
constexpr const char *SEM_TAMANHO = "\nErro:\n\tEntrada terminou sem o tamanho do vetor\n";
constexpr const char *SEM_ESTRUTURAS =
    "\nErro:\n\tEntrada terminou antes de todas as estruturas serem lidas\n";
constexpr const char *SEM_VETOR = "\nErro:\n\tVetor de estruturas nao foi alocado\n";

// The most characters of a std::int32_t in decimal: "-2147483648".
constexpr std::size_t DIGITOS_INT32 = 11;

// A line put together from texts and numbers, then written in one call: what
// printf would write, without parsing a format for every record.
struct Linha {
    char texto[64];
    std::size_t tamanho = 0; // bytes of texto in use
};

static_assert(RESULTADO_ANTES.size() + RESULTADO_DEPOIS.size() + 2 * DIGITOS_INT32 <=
              sizeof(Linha::texto));
static_assert(PERGUNTA_NUMERO_ANTES.size() + PERGUNTA_NUMERO_DEPOIS.size() + DIGITOS_INT32 <=
              sizeof(Linha::texto));

void acrescenta(Linha *linha, std::string_view texto) {
    std::memcpy(linha->texto + linha->tamanho, texto.data(), texto.size());
    linha->tamanho += texto.size();
}

// Adds numero in decimal, as "%d" writes it.
void acrescenta(Linha *linha, std::int32_t numero) {
    char *inicio = linha->texto + linha->tamanho;
    linha->tamanho += static_cast<std::size_t>(
        std::to_chars(inicio, inicio + DIGITOS_INT32, numero).ptr - inicio);
}

void escreve(const Linha *linha) {
    std::fwrite(linha->texto, 1, linha->tamanho, stdout);
}

void escreve(const char *texto) {
    std::fputs(texto, stdout);
}

// Reads the number and then the name of the record at 1-based posicao, asking
// again for the number until a valid one is typed. Returns false when the input
// ends first; the record may then be partly filled.
bool le_estrutura(Entrada *entrada, Estrutura *estrutura, std::int32_t posicao) {
    Leitura leitura = Leitura::invalida;
    while (leitura == Leitura::invalida) {
        Linha pergunta;
        acrescenta(&pergunta, PERGUNTA_NUMERO_ANTES);
        acrescenta(&pergunta, posicao);
        acrescenta(&pergunta, PERGUNTA_NUMERO_DEPOIS);
        escreve(&pergunta);
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
        Linha resultado;
        acrescenta(&resultado, RESULTADO_ANTES);
        acrescenta(&resultado, i + 1);
        acrescenta(&resultado, RESULTADO_DEPOIS);
        acrescenta(&resultado, vetor[i].numero);
        escreve(&resultado);
    }
    return EXIT_SUCCESS;
}
