#pragma once
// Double-ended queue of std::int32_t on a doubly linked list of heap nodes.
//
// Invariants after every operation: inicio and final are both null (the deque
// is empty and tamanho is 0) or both set; inicio->anterior and final->proximo
// are null; for every node n but the last, n->proximo->anterior == n; tamanho
// is the number of nodes. Emptiness is judged from inicio, never from tamanho.
//
// Every int result is a flag: 1 for success or true, 0 for failure or false.
// The deque owns its nodes (one malloc block each); the caller owns the Deque
// block, which only cria_deque makes and only libera_deque frees. Nothing here
// prints except imprime_deque.
#include <cstddef>
#include <cstdint>

struct NoDeque {
    NoDeque *anterior; // null in the first node
    NoDeque *proximo;  // null in the last node
    std::int32_t elemento;
};

struct Deque {
    NoDeque *inicio; // the front; null when empty
    NoDeque *final;  // the back; null when empty
    std::int32_t tamanho;
};

// A new, empty deque, or null when its block cannot be allocated.
[[nodiscard]] Deque *cria_deque();

// Frees every node and then the deque itself. A null deque does nothing.
void libera_deque(Deque *deque);

// The number of elements; 0 for a null deque.
[[nodiscard]] std::int32_t tamanho_deque(const Deque *deque);

// 1 when the deque is null or has no element, 0 otherwise.
[[nodiscard]] int deque_vazio(const Deque *deque);

// Puts elemento before the first element. Returns 0, leaving the deque
// unchanged, when the deque is null, already holds INT32_MAX elements (its
// count could not grow) or the node cannot be allocated.
[[nodiscard]] int insere_inicio(Deque *deque, std::int32_t elemento);

// Puts elemento after the last element. Returns 0, leaving the deque
// unchanged, when the deque is null, already holds INT32_MAX elements or the
// node cannot be allocated.
[[nodiscard]] int insere_final(Deque *deque, std::int32_t elemento);

// Removes and frees the first element, discarding its value. Returns 0,
// changing nothing, when the deque is null or empty.
[[nodiscard]] int remove_inicio(Deque *deque);

// Removes and frees the last element, discarding its value. Returns 0,
// changing nothing, when the deque is null or empty.
[[nodiscard]] int remove_final(Deque *deque);

// Writes the listing to standard output: "Deque:", a line end, then a tab and
// the elements front to back between braces, each followed by one space:
// "Deque:\n\t{ 3 1 2 }\n". Returns 1; a null deque writes nothing and returns 0.
int imprime_deque(const Deque *deque);

// The most bytes escreve_deque hands over at once.
inline constexpr std::size_t TAMANHO_PEDACO_LISTAGEM = 4096;

// Hands the listing that imprime_deque writes to escreve, in order, in pieces
// of at most TAMANHO_PEDACO_LISTAGEM bytes, none empty, each with destino.
// Returns 1; a null deque hands nothing and returns 0.
int escreve_deque(const Deque *deque,
                  void (*escreve)(void *destino, const char *texto, std::size_t tamanho),
                  void *destino);
