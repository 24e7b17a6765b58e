// Bounds every in-process test binary before its first test, so that a fault in
// the code under test that writes or allocates without end fails the test
// instead of filling the machine: no file grows past 64 MiB (memory files from
// memfd_create included: a write past it ends the binary with SIGXFSZ), the
// address space stops at 256 MiB outside the sanitized build (whose shadow
// memory needs terabytes of it), no core file is left, and a write to a pipe
// whose reader left fails with EPIPE instead of ending the binary.
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
#ifndef SANITIZADORES
    limita(RLIMIT_AS, 256 * MIB);
#endif
    static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
}

} // namespace
