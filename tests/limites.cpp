// Bounds every in-process test binary before its first test, so that a fault in
// the code under test that writes or allocates without end fails the test
// instead of filling the machine: no file grows past 64 MiB (memory files from
// memfd_create included: a write past it ends the binary with SIGXFSZ), the
// address space stops at 256 MiB unless the compiler builds this binary with a
// sanitizer that needs terabytes of it (sanitizado.h), however that was asked
// for, no core file is left, and a write to a pipe whose reader left fails with
// EPIPE instead of ending the binary.
#include "sanitizado.h"

#include <csignal>
#include <sys/resource.h>

namespace {

void limita(int recurso, rlim_t bytes) {
    const rlimit limite{bytes, bytes};
    static_cast<void>(setrlimit(recurso, &limite));
}

[[gnu::constructor]] void limita_o_teste() {
    constexpr rlim_t MIB = rlim_t{1024} * 1024;
    limita(RLIMIT_FSIZE, 64 * MIB);
    limita(RLIMIT_CORE, 0);
    if (!SANITIZADOR_RESERVA_ENDERECOS) {
        limita(RLIMIT_AS, 256 * MIB);
    }
    static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
}

} // namespace
