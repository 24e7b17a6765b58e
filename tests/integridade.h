#pragma once
// Checks every invariant of a deque by walking it both ways; for the tests and
// the fuzz targets.
#include "deque.h"

#include <cstdint>
#include <vector>

// Stores the elements of deque, front to back, in *elementos. Gives null when
// every invariant holds, or names the first one that does not.
[[nodiscard]] const char *deque_quebrado(const Deque *deque, std::vector<std::int32_t> *elementos);
