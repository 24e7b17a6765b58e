#include "saida.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

bool espera_descritor(int descritor, short evento, int milissegundos) {
    pollfd espera{descritor, evento, 0};
    int prontos = 0;
    do {
        prontos = poll(&espera, 1, milissegundos);
    } while (prontos < 0 && errno == EINTR);
    if (prontos < 0 && milissegundos != 0) {
        // The readiness is unknown: the read or write that follows decides,
        // and this pause keeps its retries from spinning.
        constexpr timespec PAUSA{0, 10'000'000};
        static_cast<void>(nanosleep(&PAUSA, nullptr));
    }
    return prontos > 0;
}

void inicia_saida(Saida *saida, int descritor) {
    saida->descritor = descritor;
    saida->erro = 0;
    saida->usado = 0;
}

bool esvazia_saida(Saida *saida) {
    std::size_t escritos = 0;
    while (saida->erro == 0 && escritos < saida->usado) {
        const ssize_t n = write(saida->descritor, saida->bloco + escritos, saida->usado - escritos);
        if (n > 0) {
            escritos += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A descriptor left non-blocking by another program: wait for room.
            static_cast<void>(espera_descritor(saida->descritor, POLLOUT, -1));
        } else if (n == 0 || errno != EINTR) {
            saida->erro = n < 0 ? errno : EIO; // a write of 0 bytes would never end
        }
    }
    saida->usado = 0;
    return saida->erro == 0;
}

void escreve_no_bloco_cheio(Saida *saida, std::string_view texto) {
    while (!texto.empty()) {
        if (saida->usado == sizeof saida->bloco && !esvazia_saida(saida)) {
            return; // nothing more can go out
        }
        const std::size_t cabe = std::min(texto.size(), sizeof saida->bloco - saida->usado);
        std::memcpy(saida->bloco + saida->usado, texto.data(), cabe);
        saida->usado += cabe;
        texto.remove_prefix(cabe);
    }
}

void escreve_trecho(void *destino, const char *texto, std::size_t tamanho) {
    escreve(static_cast<Saida *>(destino), std::string_view(texto, tamanho));
}
