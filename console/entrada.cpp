#include "entrada.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// Refills the block once it is used up. Returns false at the end of input, at
// a read error, or when the output could not be emptied before a wait.
bool recarrega(Entrada *entrada) {
    if (entrada->terminou) {
        return false;
    }
    entrada->lido = 0;
    entrada->preenchido = 0;
    while (true) {
        // Input known to be there already needs no flush; a read that may
        // wait for the person must find the prompt on the screen.
        if (!espera_descritor(entrada->descritor, POLLIN, 0)) {
            if (entrada->saida != nullptr && !esvazia_saida(entrada->saida)) {
                return false; // nobody sees what is asked
            }
            static_cast<void>(espera_descritor(entrada->descritor, POLLIN, -1));
        }
        const ssize_t lidos = read(entrada->descritor, entrada->bloco, sizeof entrada->bloco);
        if (lidos > 0) {
            entrada->preenchido = static_cast<std::size_t>(lidos);
            return true;
        }
        // EAGAIN: standard input left non-blocking by another program; the
        // answer is still to come, and the poll above waits for it.
        if (lidos == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            entrada->erro = lidos < 0 ? errno : 0;
            entrada->terminou = true;
            return false;
        }
    }
}

// True when a byte is left to hand out, refilling the block if it must. Once
// the output has failed nothing more is handed out, even from the block: the
// person can no longer see what the answers are for.
bool ha_bytes(Entrada *entrada) {
    if (entrada->saida != nullptr && entrada->saida->erro != 0) {
        return false;
    }
    return entrada->lido < entrada->preenchido || recarrega(entrada);
}

// What a read gives once no byte is left: the plain end of input, or erro
// when the input or the output failed.
Leitura sem_mais(const Entrada *entrada) {
    const bool saida_falhou = entrada->saida != nullptr && entrada->saida->erro != 0;
    return entrada->erro != 0 || saida_falhou ? Leitura::erro : Leitura::fim;
}

// Drops the rest of the current line, its line end included. Gives ok at the
// line end or at the plain end of input, and erro when a failed read (or
// output) cut the line short: then nothing of it may be used.
Leitura termina_linha(Entrada *entrada) {
    while (ha_bytes(entrada)) {
        const char *inicio = entrada->bloco + entrada->lido;
        const void *quebra = std::memchr(inicio, '\n', entrada->preenchido - entrada->lido);
        if (quebra != nullptr) {
            entrada->lido +=
                static_cast<std::size_t>(static_cast<const char *>(quebra) - inicio) + 1;
            return Leitura::ok;
        }
        entrada->lido = entrada->preenchido;
    }
    return sem_mais(entrada) == Leitura::fim ? Leitura::ok : Leitura::erro;
}

// The blank space that a number read passes over, line ends included.
bool eh_espaco(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool eh_continuacao_utf8(unsigned char c) {
    return (c & 0xC0U) == 0x80U;
}

// The bytes of the UTF-8 character that begins with lider; 1 for a byte that
// cannot begin one, so that it is cut like any other single byte.
std::size_t comprimento_utf8(unsigned char lider) {
    if (lider < 0xC0U || lider >= 0xF8U) {
        return 1;
    }
    return lider >= 0xF0U ? 4 : lider >= 0xE0U ? 3 : 2;
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

void inicia_entrada(Entrada *entrada, int descritor, Saida *saida) {
    entrada->descritor = descritor;
    entrada->saida = saida;
    entrada->lido = 0;
    entrada->preenchido = 0;
    entrada->terminou = false;
    entrada->erro = 0;
}

Leitura le_numero(Entrada *entrada, std::int32_t *numero) {
    // Blank space and blank lines, a block at a time.
    while (true) {
        if (!ha_bytes(entrada)) {
            return sem_mais(entrada);
        }
        const char *p = entrada->bloco + entrada->lido;
        const char *fim = entrada->bloco + entrada->preenchido;
        p = std::find_if_not(p, fim,
                             [](char c) { return eh_espaco(static_cast<unsigned char>(c)); });
        entrada->lido = static_cast<std::size_t>(p - entrada->bloco);
        if (p < fim) {
            break;
        }
    }
    const char sinal = entrada->bloco[entrada->lido];
    const bool negativo = sinal == '-';
    if (negativo || sinal == '+') {
        ++entrada->lido;
    }
    // The magnitude stops growing just past the largest one in range, however
    // many digits follow: leading zeros add nothing, and any number too long
    // is out of range.
    constexpr std::int64_t limite = std::int64_t{INT32_MAX} + 1;
    std::int64_t magnitude = 0;
    bool tem_digito = false;
    while (ha_bytes(entrada)) {
        const char *inicio = entrada->bloco + entrada->lido;
        const char *fim = entrada->bloco + entrada->preenchido;
        const char *p = inicio;
        for (; p < fim && *p >= '0' && *p <= '9'; ++p) {
            magnitude = std::min(magnitude * 10 + (*p - '0'), limite + 1);
        }
        tem_digito = tem_digito || p > inicio;
        entrada->lido = static_cast<std::size_t>(p - entrada->bloco);
        if (p < fim) {
            break; // the byte after the digits
        }
    }
    if (termina_linha(entrada) != Leitura::ok) {
        return Leitura::erro;
    }
    if (!tem_digito || magnitude > limite || (!negativo && magnitude == limite)) {
        return Leitura::invalida;
    }
    *numero = static_cast<std::int32_t>(negativo ? -magnitude : magnitude);
    return Leitura::ok;
}

Leitura le_linha(Entrada *entrada, char *destino, std::size_t capacidade) {
    if (!ha_bytes(entrada)) {
        return sem_mais(entrada);
    }
    std::size_t tamanho = 0;
    while (ha_bytes(entrada)) {
        const char *inicio = entrada->bloco + entrada->lido;
        const std::size_t restante = entrada->preenchido - entrada->lido;
        const auto *quebra = static_cast<const char *>(std::memchr(inicio, '\n', restante));
        const std::size_t ate_a_quebra =
            quebra != nullptr ? static_cast<std::size_t>(quebra - inicio) : restante;
        const std::size_t copia = std::min(ate_a_quebra, capacidade - 1 - tamanho);
        std::memcpy(destino + tamanho, inicio, copia);
        tamanho += copia;
        entrada->lido += copia;
        if (copia < ate_a_quebra) {
            // The line is longer than destino: cut it, and drop the rest.
            tamanho = corte_utf8(destino, tamanho, static_cast<unsigned char>(inicio[copia]));
            break;
        }
        if (quebra != nullptr) {
            break;
        }
    }
    destino[tamanho] = '\0';
    return termina_linha(entrada);
}

Leitura descarta_linha(Entrada *entrada) {
    if (!ha_bytes(entrada)) {
        return sem_mais(entrada);
    }
    return termina_linha(entrada);
}

std::size_t bytes_nao_usados(const Entrada *entrada) {
    return entrada->preenchido - entrada->lido;
}
