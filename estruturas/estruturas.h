#pragma once
// Records of a name and a number, and the halving of the even numbers in an
// array of them.
//
// An array of records is one block from std::malloc, freed with std::free by
// whoever obtained it; its length travels beside it as a signed count. The
// operations here never read or change nome, and print nothing.
#include <cstddef>
#include <cstdint>

struct Estrutura {
    char nome[20];       // zero-terminated text of at most 19 bytes
    std::int32_t numero; // the number the halving operations change
};

static_assert(sizeof(Estrutura::nome) == 20);

// The bytes of an array of quantidade records. 0, which tells the caller that
// there is no array to allocate, when quantidade is 0 or less, and when that
// many bytes do not fit in std::size_t (with 32 bits, from 178,956,971 records).
[[nodiscard]] std::size_t tamanho_do_vetor(std::int32_t quantidade);

// Stores in *saida a new, uninitialised block of quantidade records, or null
// when quantidade is 0 or less or the block cannot be allocated, its size
// beyond std::size_t included. The caller frees the block with std::free.
void aloca_structs(Estrutura **saida, std::int32_t quantidade);

// Replaces numero by numero divided by 2, rounding toward zero.
void manipula_um_par(Estrutura *estrutura);

// Halves, once each, the numero of every record among the first quantidade of
// vetor whose numero is even (negative even numbers and 0 included). Odd
// numbers are left as they are; a quantidade of 0 or less touches nothing.
void manipula_pares(Estrutura *vetor, std::int32_t quantidade);
