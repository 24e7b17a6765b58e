#include "saida.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

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
            pollfd espera{saida->descritor, POLLOUT, 0};
            while (poll(&espera, 1, -1) < 0 && errno == EINTR) {
            }
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
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
