#pragma once
// Makes the project's own calls of malloc fail on demand. A binary gets this by
// linking falha_malloc.cpp with -Wl,--wrap=malloc: only the calls in its own
// objects go through here, never those inside the C or C++ runtime.
//
// The variable FALHA_NA_ALOCACAO=n in the environment makes the n-th call of the
// run fail, so a whole program can be tried with each of its allocations failing.
// With CONTA_ALOCACOES_EM=file, a run that ends through exit (or by returning
// from main) writes to that file how many calls it made.

// Makes the n-th call of malloc from now on give null (1 is the next call); 0
// makes none fail. Restarts the count.
void falha_na_alocacao(long n);

// The calls of malloc since the count last started.
[[nodiscard]] long alocacoes_feitas();
