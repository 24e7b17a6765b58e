#pragma once
// What the in-process tests share: a comparison of long texts that tells only
// where they part, and what a call writes to a descriptor, caught in a memory
// file (bounded, like every file of a test binary, by tests/limites.cpp).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

// Passes when obtido is esperado; otherwise gives both lengths and a few bytes
// of each around the first one that differs, never the whole texts.
inline testing::AssertionResult mesmo_texto(std::string_view obtido, std::string_view esperado) {
    const auto onde = std::mismatch(obtido.begin(), obtido.end(), esperado.begin(), esperado.end());
    if (onde.first == obtido.end() && onde.second == esperado.end()) {
        return testing::AssertionSuccess();
    }
    const auto byte = static_cast<std::size_t>(onde.first - obtido.begin());
    const std::size_t inicio = byte - std::min<std::size_t>(byte, 20);
    const auto trecho = [inicio](std::string_view texto) {
        return testing::PrintToString(
            std::string(texto.substr(std::min(inicio, texto.size()), 60)));
    };
    return testing::AssertionFailure()
           << "the texts differ from byte " << byte << " (" << obtido.size() << " bytes against "
           << esperado.size() << " expected); from byte " << inicio << ":\n  obtained "
           << trecho(obtido) << "\n  expected " << trecho(esperado);
}

// A new plain record whose bytes are all 0xA5, as a reused heap block's may be,
// so that a setup that leaves a field as it found it shows.
template <typename T>
std::unique_ptr<T> bloco_sujo() {
    // Default-initialised, as std::make_unique_for_overwrite gives it (which
    // LLVM's libc++ 14 lacks): a plain record's bytes are left as they are.
    std::unique_ptr<T> bloco(new T);
    std::memset(static_cast<void *>(bloco.get()), 0xA5, sizeof(T));
    return bloco;
}

// What chamada writes to descritor, through stdio or not.
template <typename Chamada>
std::string captura(int descritor, Chamada chamada) {
    std::fflush(nullptr);
    const int arquivo = memfd_create("captura", 0);
    const int original = dup(descritor);
    dup2(arquivo, descritor);
    chamada();
    std::fflush(nullptr);
    dup2(original, descritor);
    close(original);
    std::string texto(static_cast<std::size_t>(lseek(arquivo, 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(arquivo, texto.data(), texto.size(), 0), static_cast<ssize_t>(texto.size()));
    close(arquivo);
    return texto;
}
