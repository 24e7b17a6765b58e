#include "dialogo.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

// A text with a 1-based position in decimal inside it ("Digite 1o numero: "),
// counted up in place: carrying a digit costs less than building the text
// anew for every record.
struct TextoNumerado {
    char texto[64];
    std::size_t inicio;  // the index of the position's first digit
    std::size_t fim;     // the index just after its last digit
    std::size_t tamanho; // bytes of texto in use
};

static_assert(PERGUNTA_NUMERO_ANTES.size() + DIGITOS_INT32 + PERGUNTA_NUMERO_DEPOIS.size() <=
              sizeof TextoNumerado::texto);
static_assert(RESULTADO_ANTES.size() + DIGITOS_INT32 + RESULTADO_DEPOIS.size() <=
              sizeof TextoNumerado::texto);

// antes, the position 1, then depois.
TextoNumerado numerado(std::string_view antes, std::string_view depois) {
    TextoNumerado t{};
    char *p = std::copy(antes.begin(), antes.end(), t.texto);
    *p++ = '1';
    p = std::copy(depois.begin(), depois.end(), p);
    t.inicio = antes.size();
    t.fim = t.inicio + 1;
    t.tamanho = static_cast<std::size_t>(p - t.texto);
    return t;
}

// The same text with the next position.
void avanca(TextoNumerado *t) {
    std::size_t i = t->fim;
    while (i > t->inicio && t->texto[i - 1] == '9') {
        t->texto[--i] = '0';
    }
    if (i > t->inicio) {
        ++t->texto[i - 1];
        return;
    }
    // Every digit was a 9: one digit more, a 1 before the zeros.
    std::copy_backward(t->texto + t->inicio, t->texto + t->tamanho, t->texto + t->tamanho + 1);
    t->texto[t->inicio] = '1';
    ++t->fim;
    ++t->tamanho;
}

std::string_view texto_de(const TextoNumerado *t) {
    return {t->texto, t->tamanho};
}

// Reads the number and then the name of a record, asking its number prompt
// again until a valid number is typed. Gives ok, or fim or erro when the input
// ends or fails first; the record may then be partly filled.
Leitura le_estrutura(Console *console, Estrutura *estrutura, const TextoNumerado *pergunta) {
    const Leitura numero = pergunta_numero(console, texto_de(pergunta), &estrutura->numero);
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
    TextoNumerado pergunta = numerado(PERGUNTA_NUMERO_ANTES, PERGUNTA_NUMERO_DEPOIS);
    for (std::int32_t i = 0; i < quantidade; ++i, avanca(&pergunta)) {
        const Leitura leitura = le_estrutura(console, &vetor[i], &pergunta);
        if (leitura != Leitura::ok) {
            if (leitura == Leitura::fim) {
                escreve(&console->saida, SEM_ESTRUTURAS);
            }
            return EXIT_FAILURE;
        }
    }
    manipula_pares(vetor, quantidade);
    TextoNumerado resultado = numerado(RESULTADO_ANTES, RESULTADO_DEPOIS);
    for (std::int32_t i = 0; i < quantidade; ++i, avanca(&resultado)) {
        escreve(&console->saida, texto_de(&resultado));
        escreve(&console->saida, vetor[i].numero);
    }
    return EXIT_SUCCESS;
}
