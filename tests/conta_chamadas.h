#pragma once
// Counts the calls of poll, read, write and nanosleep that a thread makes, so
// that a test tells a wait that sleeps from one that spins by what it did, not
// by how long it took. A binary gets this by linking conta_chamadas.cpp with
// -Wl,--wrap=poll,--wrap=read,--wrap=write,--wrap=nanosleep,--wrap=__nanosleep64
// (nanosleep's name with a 64-bit time_t on a 32-bit target): only the calls in
// its own objects (the code under test and the tests) go through here, never
// those inside the C or C++ runtime.
#include <chrono>

struct Chamadas {
    long poll = 0;
    long esperas = 0; // those calls of poll that may wait: a timeout other than 0
    long read = 0;
    long write = 0;
    long pausas = 0; // calls of nanosleep
    // The shortest pause asked of nanosleep; the largest value while none was.
    std::chrono::nanoseconds menor_pausa = std::chrono::nanoseconds::max();
};

// Starts counting the calling thread's calls again from none.
void conta_chamadas();

// The calling thread's calls since it last called conta_chamadas (or began).
[[nodiscard]] Chamadas chamadas_feitas();
