#pragma once
// Whether the compiler is building this file with a sanitizer that reserves a
// vast range of addresses as the binary starts (its shadow memory, or its own
// allocator's space): AddressSanitizer, ThreadSanitizer, MemorySanitizer or
// LeakSanitizer. Such a binary dies at once under a limit on its address space.
// GCC tells of the first two with macros of its own; clang answers
// __has_feature, which GCC 12 lacks. GCC tells nothing of LeakSanitizer alone.

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SANITIZADOR_RESERVA_ENDERECOS = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer) || __has_feature(leak_sanitizer)
constexpr bool SANITIZADOR_RESERVA_ENDERECOS = true;
#else
constexpr bool SANITIZADOR_RESERVA_ENDERECOS = false;
#endif
#else
constexpr bool SANITIZADOR_RESERVA_ENDERECOS = false;
#endif
