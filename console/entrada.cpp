#include "entrada.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {

// A number of eleven significant digits is out of range already: no digit
// after those can bring it back.
constexpr std::ptrdiff_t MAIS_DIGITOS = 11;

// True when a read of descritor would not wait: input, its end or an error is
// there already.
bool pronto_para_ler(int descritor) {
    pollfd espera{descritor, POLLIN, 0};
    int prontos = 0;
    do {
        prontos = poll(&espera, 1, 0);
    } while (prontos < 0 && errno == EINTR);
    return prontos != 0;
}

// Waits until descritor has input (or its end, or an error) to give.
void espera_entrada(int descritor) {
    pollfd espera{descritor, POLLIN, 0};
    while (poll(&espera, 1, -1) < 0 && errno == EINTR) {
    }
}

// Empties the output when the next read could wait for the person. Returns
// false when the output cannot be written: then nobody sees what is asked.
bool esvazia_antes_de_esperar(Entrada *entrada) {
    if (entrada->saida == nullptr || pronto_para_ler(entrada->descritor)) {
        return true;
    }
    return esvazia_saida(entrada->saida);
}

// Refills the block once it is used up. Returns false at the end of input, at
// a read error, or when the output could not be emptied before a wait.
bool recarrega(Entrada *entrada) {
    if (entrada->terminou) {
        return false;
    }
    entrada->lido = 0;
    entrada->preenchido = 0;
    if (!esvazia_antes_de_esperar(entrada)) {
        entrada->terminou = true;
        return false;
    }
    while (true) {
        const ssize_t lidos = read(entrada->descritor, entrada->bloco, sizeof entrada->bloco);
        if (lidos > 0) {
            entrada->preenchido = static_cast<std::size_t>(lidos);
            return true;
        }
        if (lidos < 0 && errno == EINTR) {
            continue;
        }
        if (lidos < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Standard input left non-blocking by another program: the answer
            // is still to come. Wait for it, with the prompt on the screen.
            if (entrada->saida != nullptr && !esvazia_saida(entrada->saida)) {
                entrada->terminou = true;
                return false;
            }
            espera_entrada(entrada->descritor);
            continue;
        }
        entrada->erro = lidos < 0 ? errno : 0;
        entrada->terminou = true;
        return false;
    }
}

// What a read gives when the block is used up and cannot be refilled.
Leitura sem_mais(const Entrada *entrada) {
    const bool saida_falhou = entrada->saida != nullptr && entrada->saida->erro != 0;
    return entrada->erro != 0 || saida_falhou ? Leitura::erro : Leitura::fim;
}

// True when a byte is left to hand out, refilling the block if it must. Once
// the output has failed nothing more is handed out, even from the block: the
// person can no longer see what the answers are for. Called for every answer
// and every block: kept inline, as the compiler would not on its own.
[[gnu::always_inline]] inline bool ha_bytes(Entrada *entrada) {
    if (entrada->saida != nullptr && entrada->saida->erro != 0) {
        return false;
    }
    return entrada->lido < entrada->preenchido || recarrega(entrada);
}

// Drops the rest of the current line, its line end included.
void pula_resto_da_linha(Entrada *entrada) {
    while (ha_bytes(entrada)) {
        const char *inicio = entrada->bloco + entrada->lido;
        const std::size_t restante = entrada->preenchido - entrada->lido;
        const void *quebra = std::memchr(inicio, '\n', restante);
        if (quebra != nullptr) {
            entrada->lido +=
                static_cast<std::size_t>(static_cast<const char *>(quebra) - inicio) + 1;
            return;
        }
        entrada->lido = entrada->preenchido;
    }
}

// The blank space that a number read passes over, line ends included.
bool eh_espaco(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool eh_digito(unsigned char c) {
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

// The byte at the reading point; ha_bytes must have been true.
unsigned char atual(const Entrada *entrada) {
    return static_cast<unsigned char>(entrada->bloco[entrada->lido]);
}

// The number at the start of texto[p, fim), a line without its line end whose
// leading blank space is passed over already, judged as le_numero judges it.
// Inline in both of its callers, so the common one stays one tight pass.
[[gnu::always_inline]] inline Leitura interpreta_numero(const char *p, const char *fim,
                                                        std::int32_t *numero) {
    bool negativo = false;
    if (p < fim && (*p == '+' || *p == '-')) {
        negativo = *p == '-';
        ++p;
    }
    const char *digitos = p;
    while (p < fim && *p == '0') {
        ++p; // leading zeros add nothing, however many
    }
    const char *significativos = p;
    const char *ultimo = fim - p > MAIS_DIGITOS ? p + MAIS_DIGITOS : fim;
    std::int64_t magnitude = 0;
    while (p < ultimo && eh_digito(static_cast<unsigned char>(*p))) {
        magnitude = magnitude * 10 + (*p - '0');
        ++p;
    }
    constexpr std::int64_t limite = std::int64_t{INT32_MAX} + 1;
    if (p == digitos || p - significativos >= MAIS_DIGITOS || magnitude > limite ||
        (!negativo && magnitude == limite)) {
        return Leitura::invalida;
    }
    *numero = static_cast<std::int32_t>(negativo ? -magnitude : magnitude);
    return Leitura::ok;
}

} // namespace

void inicia_entrada(Entrada *entrada, int descritor, Saida *saida) {
    entrada->descritor = descritor;
    entrada->saida = saida;
    entrada->lido = 0;
    entrada->preenchido = 0;
    entrada->terminou = false;
    entrada->erro = 0;
}

Leitura le_numero(Entrada *entrada, std::int32_t *numero) {
    // Most answers lie whole in the block: judged there, line by line.
    while (ha_bytes(entrada)) {
        const char *p = entrada->bloco + entrada->lido;
        const char *fim = entrada->bloco + entrada->preenchido;
        const auto *quebra = static_cast<const char *>(std::memchr(p, '\n', fim - p));
        if (quebra == nullptr) {
            break; // the line goes on past the block
        }
        while (p < quebra && eh_espaco(static_cast<unsigned char>(*p))) {
            ++p;
        }
        entrada->lido = static_cast<std::size_t>(quebra + 1 - entrada->bloco);
        if (p < quebra) {
            return interpreta_numero(p, quebra, numero);
        }
    }

    // A line across blocks, or a last line without its end: byte by byte.
    // Blank space, blank lines included, a block at a time.
    while (true) {
        if (!ha_bytes(entrada)) {
            return sem_mais(entrada);
        }
        const char *p = entrada->bloco + entrada->lido;
        const char *fim = entrada->bloco + entrada->preenchido;
        while (p < fim && eh_espaco(static_cast<unsigned char>(*p))) {
            ++p;
        }
        entrada->lido = static_cast<std::size_t>(p - entrada->bloco);
        if (p < fim) {
            break;
        }
    }

    // What decides the number, gathered from across the blocks into a few
    // bytes: the sign, one of its leading zeros, and digits enough to tell
    // whether it is in range. The rest of the line can change nothing.
    char decisivos[1 + 1 + MAIS_DIGITOS];
    std::size_t n = 0;
    if (atual(entrada) == '+' || atual(entrada) == '-') {
        decisivos[n++] = static_cast<char>(atual(entrada));
        ++entrada->lido;
    }
    bool zero = false;
    while (ha_bytes(entrada) && atual(entrada) == '0') {
        zero = true;
        ++entrada->lido;
    }
    if (zero) {
        decisivos[n++] = '0';
    }
    while (n < sizeof decisivos && ha_bytes(entrada) && eh_digito(atual(entrada))) {
        decisivos[n++] = static_cast<char>(atual(entrada));
        ++entrada->lido;
    }
    pula_resto_da_linha(entrada);
    return interpreta_numero(decisivos, decisivos + n, numero);
}

Leitura le_linha(Entrada *entrada, char *destino, std::size_t capacidade) {
    if (!ha_bytes(entrada)) {
        return sem_mais(entrada);
    }
    const std::size_t maximo = capacidade - 1;
    std::size_t tamanho = 0;
    while (ha_bytes(entrada)) {
        const char *inicio = entrada->bloco + entrada->lido;
        const std::size_t restante = entrada->preenchido - entrada->lido;
        const auto *quebra = static_cast<const char *>(std::memchr(inicio, '\n', restante));
        const std::size_t ate_a_quebra =
            quebra != nullptr ? static_cast<std::size_t>(quebra - inicio) : restante;
        const std::size_t copia = std::min(ate_a_quebra, maximo - tamanho);
        std::memcpy(destino + tamanho, inicio, copia);
        tamanho += copia;
        if (copia < ate_a_quebra) {
            // The line is longer than destino: cut it, and drop the rest.
            tamanho = corte_utf8(destino, tamanho, static_cast<unsigned char>(inicio[copia]));
            destino[tamanho] = '\0';
            if (quebra != nullptr) {
                entrada->lido = static_cast<std::size_t>(quebra + 1 - entrada->bloco);
            } else {
                entrada->lido = entrada->preenchido;
                pula_resto_da_linha(entrada);
            }
            return Leitura::ok;
        }
        entrada->lido += copia;
        if (quebra != nullptr) {
            ++entrada->lido; // the line end
            break;
        }
    }
    destino[tamanho] = '\0';
    return Leitura::ok;
}

Leitura descarta_linha(Entrada *entrada) {
    if (!ha_bytes(entrada)) {
        return sem_mais(entrada);
    }
    pula_resto_da_linha(entrada);
    return Leitura::ok;
}

std::size_t bytes_nao_usados(const Entrada *entrada) {
    return entrada->preenchido - entrada->lido;
}
