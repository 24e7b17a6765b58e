#include "conta_chamadas.h"

#include <algorithm>
#include <poll.h>
#include <sys/types.h>
#include <time.h>

extern "C" {
int __real_poll(pollfd *descritores, nfds_t quantos, int milissegundos);
int __wrap_poll(pollfd *descritores, nfds_t quantos, int milissegundos);
ssize_t __real_read(int descritor, void *bloco, size_t tamanho);
ssize_t __wrap_read(int descritor, void *bloco, size_t tamanho);
ssize_t __real_write(int descritor, const void *bloco, size_t tamanho);
ssize_t __wrap_write(int descritor, const void *bloco, size_t tamanho);
}

// Where time_t has 64 bits on a 32-bit target (_TIME_BITS=64), <time.h> gives
// nanosleep the C library's name __nanosleep64: that is the call to count.
#ifdef __USE_TIME_BITS64
#define NANOSLEEP_REAL __real___nanosleep64
#define NANOSLEEP_CONTADO __wrap___nanosleep64
#else
#define NANOSLEEP_REAL __real_nanosleep
#define NANOSLEEP_CONTADO __wrap_nanosleep
#endif
extern "C" {
int NANOSLEEP_REAL(const timespec *pausa, timespec *restante);
int NANOSLEEP_CONTADO(const timespec *pausa, timespec *restante);
}

namespace {

// Each thread counts its own calls: a test's helper threads never mix theirs in.
Chamadas &deste_fio() {
    thread_local Chamadas chamadas;
    return chamadas;
}

} // namespace

void conta_chamadas() {
    deste_fio() = Chamadas{};
}

Chamadas chamadas_feitas() {
    return deste_fio();
}

extern "C" int __wrap_poll(pollfd *descritores, nfds_t quantos, int milissegundos) {
    Chamadas &chamadas = deste_fio();
    ++chamadas.poll;
    chamadas.esperas += milissegundos != 0 ? 1 : 0;
    return __real_poll(descritores, quantos, milissegundos);
}

extern "C" ssize_t __wrap_read(int descritor, void *bloco, size_t tamanho) {
    ++deste_fio().read;
    return __real_read(descritor, bloco, tamanho);
}

extern "C" ssize_t __wrap_write(int descritor, const void *bloco, size_t tamanho) {
    ++deste_fio().write;
    return __real_write(descritor, bloco, tamanho);
}

extern "C" int NANOSLEEP_CONTADO(const timespec *pausa, timespec *restante) {
    Chamadas &chamadas = deste_fio();
    ++chamadas.pausas;
    chamadas.menor_pausa =
        std::min(chamadas.menor_pausa,
                 std::chrono::seconds(pausa->tv_sec) + std::chrono::nanoseconds(pausa->tv_nsec));
    return NANOSLEEP_REAL(pausa, restante);
}
