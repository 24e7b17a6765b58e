// referencia_registros: the record dialogue of halver as a plain streaming
// program, the yardstick that bench/registros times the record programs against.
//
// It writes exactly the bytes halver writes, but only for well-formed input, the
// benchmark's: the count on the first line, then for each record a line holding
// just a signed 32-bit number ("-" and digits, nothing else) and a name line.
// Nothing is checked: another input gives wrong output, not an error. Input is
// read in blocks of 64 KiB and the digits are parsed where they lie; the output
// is put together in one block of 64 KiB that goes out with write(2) whenever it
// fills; the numbers wait for the results in an array of huge pages.
//
// Exit status: 0 after the results, or after a count of 0 or less; 1 when the
// input ends early, cannot be read, or the output cannot be written.
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::string_view PERGUNTA_TAMANHO = "Qual o tamanho do vetor de estruturas? ";
constexpr std::string_view PERGUNTA_NUMERO_ANTES = "Digite ";
constexpr std::string_view PERGUNTAS_DEPOIS = "o numero: \nDigite um nome: \n--------------\n\n";
constexpr std::string_view RESULTADO_ANTES = "\nnumero da ";
constexpr std::string_view RESULTADO_DEPOIS = "a estrutura: ";

// Blocks that stay in the processor's cache, and far fewer system calls than
// records.
constexpr std::size_t BLOCO_ENTRADA = std::size_t{64} * 1024;
constexpr std::size_t BLOCO_SAIDA = std::size_t{64} * 1024;
constexpr std::size_t PAGINA_GRANDE = std::size_t{2} * 1024 * 1024;
// Room for the longest record text: both texts and two numbers of 11 characters.
constexpr std::size_t MAIOR_TEXTO = 128;
static_assert(PERGUNTA_NUMERO_ANTES.size() + PERGUNTAS_DEPOIS.size() + 11 <= MAIOR_TEXTO);
static_assert(RESULTADO_ANTES.size() + RESULTADO_DEPOIS.size() + 22 <= MAIOR_TEXTO);

struct Leitor {
    char *bloco; // BLOCO_ENTRADA bytes
    std::size_t lido;
    std::size_t fim;
    bool terminou;
};

struct Escritor {
    char *bloco; // BLOCO_SAIDA bytes
    std::size_t usado;
};

// A position in decimal, counted up in place: carrying a digit costs less than
// converting every position anew.
struct Contador {
    char digitos[11];   // the digits right-aligned, '0' before them
    std::size_t inicio; // the index of the first digit
};

constexpr Contador ZERO = {{'0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'}, 10};

void conta(Contador *contador) {
    std::size_t i = sizeof contador->digitos - 1;
    while (contador->digitos[i] == '9') {
        contador->digitos[i--] = '0';
    }
    ++contador->digitos[i];
    if (i < contador->inicio) {
        contador->inicio = i;
    }
}

char *copia(char *destino, const Contador *contador) {
    const std::size_t tamanho = sizeof contador->digitos - contador->inicio;
    std::memcpy(destino, contador->digitos + contador->inicio, tamanho);
    return destino + tamanho;
}

// Says on standard error what failed and ends the program.
[[noreturn]] void desiste(const char *o_que) {
    static_cast<void>(
        std::fprintf(stderr, "referencia_registros: %s: %s\n", o_que, std::strerror(errno)));
    std::exit(EXIT_FAILURE);
}

// The next line, its line end not included; false when no byte is left. The
// unread tail moves to the front of the block before every read, so a line
// never straddles two reads.
bool proxima_linha(Leitor *leitor, const char **inicio, const char **fim) {
    while (true) {
        const char *resto = leitor->bloco + leitor->lido;
        const std::size_t restante = leitor->fim - leitor->lido;
        const auto *quebra = static_cast<const char *>(std::memchr(resto, '\n', restante));
        if (quebra != nullptr || (leitor->terminou && restante > 0)) {
            *inicio = resto;
            *fim = quebra != nullptr ? quebra : resto + restante;
            leitor->lido = static_cast<std::size_t>(*fim - leitor->bloco) + (quebra != nullptr);
            return true;
        }
        if (leitor->terminou) {
            return false;
        }
        std::memmove(leitor->bloco, resto, restante);
        leitor->lido = 0;
        leitor->fim = restante;
        ssize_t lidos = 0;
        do {
            lidos = read(STDIN_FILENO, leitor->bloco + leitor->fim, BLOCO_ENTRADA - leitor->fim);
        } while (lidos < 0 && errno == EINTR);
        if (lidos < 0) {
            desiste("entrada nao pode ser lida");
        }
        leitor->terminou = lidos == 0;
        leitor->fim += static_cast<std::size_t>(lidos);
    }
}

// The number at the start of a line of digits, with an optional minus sign.
std::int32_t numero(const char *inicio, const char *fim) {
    const bool negativo = inicio < fim && *inicio == '-';
    std::uint32_t valor = 0;
    for (const char *c = inicio + negativo; c < fim; ++c) {
        valor = valor * 10 + static_cast<std::uint32_t>(*c - '0');
    }
    return static_cast<std::int32_t>(negativo ? 0U - valor : valor);
}

// A block for quantidade numbers, or null. A large one is made of whole huge
// pages, and the system is asked to use them: one page fault per 2 MiB instead
// of one per 4 KiB, a large part of a long run's system time.
std::int32_t *novo_vetor(std::int32_t quantidade) {
    const std::size_t bytes = static_cast<std::size_t>(quantidade) * sizeof(std::int32_t);
    if (bytes < PAGINA_GRANDE) {
        return static_cast<std::int32_t *>(std::malloc(bytes));
    }
    const std::size_t inteiras = (bytes + PAGINA_GRANDE - 1) / PAGINA_GRANDE * PAGINA_GRANDE;
    void *vetor = std::aligned_alloc(PAGINA_GRANDE, inteiras);
    if (vetor != nullptr) {
        static_cast<void>(madvise(vetor, inteiras, MADV_HUGEPAGE));
    }
    return static_cast<std::int32_t *>(vetor);
}

void esvazia(Escritor *escritor) {
    std::size_t escrito = 0;
    while (escrito < escritor->usado) {
        const ssize_t feito =
            write(STDOUT_FILENO, escritor->bloco + escrito, escritor->usado - escrito);
        if (feito >= 0) {
            escrito += static_cast<std::size_t>(feito);
        } else if (errno != EINTR) {
            desiste("saida nao pode ser escrita");
        }
    }
    escritor->usado = 0;
}

// Where the next text goes, after emptying the block when a record's text might
// not fit.
char *lugar(Escritor *escritor) {
    if (BLOCO_SAIDA - escritor->usado < MAIOR_TEXTO) {
        esvazia(escritor);
    }
    return escritor->bloco + escritor->usado;
}

char *copia(char *destino, std::string_view texto) {
    std::memcpy(destino, texto.data(), texto.size());
    return destino + texto.size();
}

char *decimal(char *destino, std::int32_t numero) {
    return std::to_chars(destino, destino + 11, numero).ptr;
}

void avanca(Escritor *escritor, const char *fim) {
    escritor->usado = static_cast<std::size_t>(fim - escritor->bloco);
}

// Reads the records into numeros, halving the even ones, and writes the
// prompts. False when the input ends before the last record's name.
bool le_registros(Leitor *leitor, Escritor *escritor, std::int32_t *numeros,
                  std::int32_t quantidade) {
    const char *inicio = nullptr;
    const char *fim = nullptr;
    Contador posicao = ZERO;
    for (std::int32_t i = 0; i < quantidade; ++i) {
        conta(&posicao);
        char *texto = copia(lugar(escritor), PERGUNTA_NUMERO_ANTES);
        avanca(escritor, copia(copia(texto, &posicao), PERGUNTAS_DEPOIS));
        if (!proxima_linha(leitor, &inicio, &fim)) {
            return false;
        }
        std::int32_t valor = numero(inicio, fim);
        if ((static_cast<std::uint32_t>(valor) & 1U) == 0U) {
            valor /= 2;
        }
        numeros[i] = valor;
        if (!proxima_linha(leitor, &inicio, &fim)) {
            return false;
        }
    }
    return true;
}

void escreve_resultados(Escritor *escritor, const std::int32_t *numeros, std::int32_t quantidade) {
    Contador posicao = ZERO;
    for (std::int32_t i = 0; i < quantidade; ++i) {
        conta(&posicao);
        char *texto = copia(copia(lugar(escritor), RESULTADO_ANTES), &posicao);
        avanca(escritor, decimal(copia(texto, RESULTADO_DEPOIS), numeros[i]));
    }
}

int dialogo(Leitor *leitor, Escritor *escritor) {
    avanca(escritor, copia(lugar(escritor), PERGUNTA_TAMANHO));
    const char *inicio = nullptr;
    const char *fim = nullptr;
    if (!proxima_linha(leitor, &inicio, &fim)) {
        return EXIT_FAILURE;
    }
    const std::int32_t quantidade = numero(inicio, fim);
    if (quantidade <= 0) {
        return EXIT_SUCCESS;
    }
    std::int32_t *numeros = novo_vetor(quantidade);
    if (numeros == nullptr) {
        return EXIT_FAILURE;
    }
    const bool completo = le_registros(leitor, escritor, numeros, quantidade);
    if (completo) {
        escreve_resultados(escritor, numeros, quantidade);
    }
    std::free(numeros);
    return completo ? EXIT_SUCCESS : EXIT_FAILURE;
}

} // namespace

int main() {
    Leitor leitor{static_cast<char *>(std::malloc(BLOCO_ENTRADA)), 0, 0, false};
    Escritor escritor{static_cast<char *>(std::malloc(BLOCO_SAIDA)), 0};
    int status = EXIT_FAILURE;
    if (leitor.bloco != nullptr && escritor.bloco != nullptr) {
        status = dialogo(&leitor, &escritor);
        esvazia(&escritor);
    }
    std::free(escritor.bloco);
    std::free(leitor.bloco);
    return status;
}
