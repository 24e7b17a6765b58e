#pragma once
// The menu dialogue of the program user: a person works on one deque through
// a numbered menu until choosing to leave or until the input ends.
//
// Everything is written to the console's output; answers come from its input,
// which empties that output before it waits.
#include "console.h"
#include "deque.h"

#include <cstdint>

// What imprime_op gives when the input ends, or cannot be read, before a valid
// answer.
inline constexpr std::int32_t OPERACAO_FIM_DA_ENTRADA = -1;

// Writes the menu and reads the answer, writing the menu again below the old
// one while the answer is negative or not a number in range. Returns the first
// answer that is 0 or above, or OPERACAO_FIM_DA_ENTRADA, after ending the
// menu's open line when the input ended there.
[[nodiscard]] std::int32_t imprime_op(Console *console);

// Runs the menu over deque until the person chooses to leave, the input ends
// or the output cannot be written. limpa_tela is called, with the console's
// output, when the screen must be cleared: once at the start and after every
// answer to the menu.
void executa_menu(Deque *deque, Console *console, void (*limpa_tela)(Saida *saida));
