#include "dialogo.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

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

// A 1-based position in decimal, counted up in place: carrying a digit costs
// less than converting every position anew.
struct Posicao {
    char digitos[DIGITOS_INT32]; // right-aligned, '0' before them
    std::size_t inicio;          // the index of the first digit
};

Posicao primeira_posicao() {
    Posicao posicao{};
    std::fill(std::begin(posicao.digitos), std::end(posicao.digitos), '0');
    posicao.inicio = sizeof posicao.digitos - 1;
    posicao.digitos[posicao.inicio] = '1';
    return posicao;
}

void avanca(Posicao *posicao) {
    std::size_t i = sizeof posicao->digitos - 1;
    while (posicao->digitos[i] == '9') {
        posicao->digitos[i--] = '0';
    }
    ++posicao->digitos[i];
    posicao->inicio = std::min(posicao->inicio, i);
}

std::string_view texto_de(const Posicao *posicao) {
    return {posicao->digitos + posicao->inicio, sizeof posicao->digitos - posicao->inicio};
}

// The number prompt of the record at posicao, built once for all the times it
// may be asked.
struct PerguntaNumero {
    char texto[PERGUNTA_NUMERO_ANTES.size() + DIGITOS_INT32 + PERGUNTA_NUMERO_DEPOIS.size()];
    std::size_t tamanho;
};

PerguntaNumero pergunta_numero_de(const Posicao *posicao) {
    PerguntaNumero pergunta{};
    const std::string_view digitos = texto_de(posicao);
    char *p = pergunta.texto;
    p = std::copy(PERGUNTA_NUMERO_ANTES.begin(), PERGUNTA_NUMERO_ANTES.end(), p);
    p = std::copy(digitos.begin(), digitos.end(), p);
    p = std::copy(PERGUNTA_NUMERO_DEPOIS.begin(), PERGUNTA_NUMERO_DEPOIS.end(), p);
    pergunta.tamanho = static_cast<std::size_t>(p - pergunta.texto);
    return pergunta;
}

// Reads the number and then the name of the record at posicao, asking again
// for the number until a valid one is typed. Gives ok, or fim or erro when the
// input ends or fails first; the record may then be partly filled.
Leitura le_estrutura(Console *console, Estrutura *estrutura, const Posicao *posicao) {
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

// Asks the system to back the pages of a large array with huge pages, before
// the records are first written: one fault per 2 MiB instead of one per 4 KiB,
// a large part of the time of a long run. Only a hint, for the whole pages
// inside the block; where it is not taken nothing changes.
void aconselha_paginas_grandes(Estrutura *vetor, std::int32_t quantidade) {
    constexpr std::size_t pagina_grande = std::size_t{2} * 1024 * 1024;
    const auto pagina = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t bytes = tamanho_do_vetor(quantidade);
    // The whole pages of the block start this far into it.
    const std::size_t antes = (pagina - reinterpret_cast<std::uintptr_t>(vetor) % pagina) % pagina;
    if (bytes >= antes + pagina_grande) {
        char *primeira = reinterpret_cast<char *>(vetor) + antes;
        static_cast<void>(madvise(primeira, (bytes - antes) / pagina * pagina, MADV_HUGEPAGE));
    }
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
    aconselha_paginas_grandes(vetor, quantidade);
    Posicao posicao = primeira_posicao();
    for (std::int32_t i = 0; i < quantidade; ++i, avanca(&posicao)) {
        const Leitura leitura = le_estrutura(console, &vetor[i], &posicao);
        if (leitura != Leitura::ok) {
            if (leitura == Leitura::fim) {
                escreve(&console->saida, SEM_ESTRUTURAS);
            }
            return EXIT_FAILURE;
        }
    }
    manipula_pares(vetor, quantidade);
    posicao = primeira_posicao();
    for (std::int32_t i = 0; i < quantidade; ++i, avanca(&posicao)) {
        escreve(&console->saida, RESULTADO_ANTES);
        escreve(&console->saida, texto_de(&posicao));
        escreve(&console->saida, RESULTADO_DEPOIS);
        escreve(&console->saida, vetor[i].numero);
    }
    return EXIT_SUCCESS;
}
