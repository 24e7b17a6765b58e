#pragma once
// The menu dialogue of the program user: a person works on one deque through
// a numbered menu until choosing to leave or until the input ends.
//
// Everything is written to standard output; answers come from an Entrada that
// empties standard output before it waits.
#include "deque.h"
#include "entrada.h"

#include <cstdint>

// What imprime_op gives when the input ends before a valid answer.
inline constexpr std::int32_t OPERACAO_FIM_DA_ENTRADA = -1;

// Writes the menu and reads the answer, writing the menu again below the old
// one while the answer is negative or not a number in range. Returns the first
// answer that is 0 or above, or OPERACAO_FIM_DA_ENTRADA.
[[nodiscard]] std::int32_t imprime_op(Entrada *entrada);

// Runs the menu over deque until the person chooses to leave or the input
// ends. limpa_tela is called when the screen must be cleared: once at the
// start and after every answer to the menu.
void executa_menu(Deque *deque, Entrada *entrada, void (*limpa_tela)());
