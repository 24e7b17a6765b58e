#include "entrada.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int FIM_DA_ENTRADA = -1;

// Refills the block when it is used up. Empties the output stream first, since
// only now may the program have to wait for the person.
bool recarrega(Entrada *entrada) {
    if (entrada->terminou) {
        return false;
    }
    if (entrada->saida != nullptr) {
        std::fflush(entrada->saida);
    }
    ssize_t lidos = 0;
    do {
        lidos = read(entrada->descritor, entrada->bloco, sizeof entrada->bloco);
    } while (lidos < 0 && errno == EINTR);
    if (lidos <= 0) {
        entrada->terminou = true;
        return false;
    }
    entrada->lido = 0;
    entrada->fim = static_cast<std::size_t>(lidos);
    return true;
}

// The next byte as 0 to 255, without taking it; FIM_DA_ENTRADA at the end.
int espia(Entrada *entrada) {
    if (entrada->lido == entrada->fim && !recarrega(entrada)) {
        return FIM_DA_ENTRADA;
    }
    return static_cast<unsigned char>(entrada->bloco[entrada->lido]);
}

void avanca(Entrada *entrada) {
    ++entrada->lido;
}

// Drops the rest of the current line, its line end included.
void pula_resto_da_linha(Entrada *entrada) {
    while (true) {
        if (entrada->lido == entrada->fim && !recarrega(entrada)) {
            return;
        }
        const char *inicio = entrada->bloco + entrada->lido;
        const std::size_t restante = entrada->fim - entrada->lido;
        const void *quebra = std::memchr(inicio, '\n', restante);
        if (quebra != nullptr) {
            entrada->lido +=
                static_cast<std::size_t>(static_cast<const char *>(quebra) - inicio) + 1;
            return;
        }
        entrada->lido = entrada->fim;
    }
}

// The blank space that a number read passes over, line ends included.
bool eh_espaco(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool eh_digito(int c) {
    return c >= '0' && c <= '9';
}

bool eh_continuacao_utf8(unsigned char c) {
    return (c & 0xC0U) == 0x80U;
}

// The bytes of the UTF-8 character that begins with lider; 1 for a byte that
// cannot begin one, so that it is cut like any other single byte.
std::size_t comprimento_utf8(unsigned char lider) {
    if (lider >= 0xF0U && lider < 0xF8U) {
        return 4;
    }
    if (lider >= 0xE0U) {
        return lider < 0xF0U ? 3 : 1;
    }
    return lider >= 0xC0U ? 2 : 1;
}

// The length of the longest prefix of texto[0, tamanho) that does not end inside
// a UTF-8 character, knowing that the byte after it is `seguinte`. A character
// is cut only when its lead byte asks for more bytes than the prefix holds;
// bytes that are not UTF-8 are cut where they fall.
std::size_t corte_utf8(const char *texto, std::size_t tamanho, unsigned char seguinte) {
    if (!eh_continuacao_utf8(seguinte)) {
        return tamanho;
    }
    // A character is at most four bytes: its lead byte and up to three more.
    for (std::size_t atras = 1; atras <= 3 && atras <= tamanho; ++atras) {
        const auto c = static_cast<unsigned char>(texto[tamanho - atras]);
        if (!eh_continuacao_utf8(c)) {
            return comprimento_utf8(c) > atras ? tamanho - atras : tamanho;
        }
    }
    return tamanho;
}

} // namespace

void inicia_entrada(Entrada *entrada, int descritor, std::FILE *saida) {
    entrada->descritor = descritor;
    entrada->saida = saida;
    entrada->lido = 0;
    entrada->fim = 0;
    entrada->terminou = false;
}

Leitura le_numero(Entrada *entrada, std::int32_t *numero) {
    int c = espia(entrada);
    while (eh_espaco(c)) {
        avanca(entrada);
        c = espia(entrada);
    }
    if (c == FIM_DA_ENTRADA) {
        return Leitura::fim;
    }

    bool negativo = false;
    if (c == '+' || c == '-') {
        negativo = c == '-';
        avanca(entrada);
        c = espia(entrada);
    }
    // Accumulates the magnitude, which for INT32_MIN is one above INT32_MAX.
    constexpr std::int64_t limite = std::int64_t{INT32_MAX} + 1;
    std::int64_t magnitude = 0;
    bool algum_digito = false;
    bool fora_do_intervalo = false;
    while (eh_digito(c)) {
        algum_digito = true;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limite) {
            fora_do_intervalo = true;
            magnitude = limite + 1; // stays out of range, never overflows
        }
        avanca(entrada);
        c = espia(entrada);
    }
    pula_resto_da_linha(entrada);

    if (!algum_digito || fora_do_intervalo || (!negativo && magnitude == limite)) {
        return Leitura::invalida;
    }
    *numero = static_cast<std::int32_t>(negativo ? -magnitude : magnitude);
    return Leitura::ok;
}

Leitura le_linha(Entrada *entrada, char *destino, std::size_t capacidade) {
    if (espia(entrada) == FIM_DA_ENTRADA) {
        return Leitura::fim;
    }
    const std::size_t maximo = capacidade - 1;
    std::size_t tamanho = 0;
    int c = espia(entrada);
    while (c != FIM_DA_ENTRADA && c != '\n' && tamanho < maximo) {
        destino[tamanho++] = static_cast<char>(c);
        avanca(entrada);
        c = espia(entrada);
    }
    if (c != FIM_DA_ENTRADA && c != '\n') {
        tamanho = corte_utf8(destino, tamanho, static_cast<unsigned char>(c));
    }
    destino[tamanho] = '\0';
    pula_resto_da_linha(entrada);
    return Leitura::ok;
}

void inicia_console(Entrada *entrada) {
    std::setvbuf(stdout, nullptr, _IOFBF, 0);
    inicia_entrada(entrada, STDIN_FILENO, stdout);
}

Leitura descarta_linha(Entrada *entrada) {
    if (espia(entrada) == FIM_DA_ENTRADA) {
        return Leitura::fim;
    }
    pula_resto_da_linha(entrada);
    return Leitura::ok;
}
