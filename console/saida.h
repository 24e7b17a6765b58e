#pragma once
// Block-buffered writing of a program's dialogue to a descriptor.
//
// Texts gather in a 64 KiB block that goes out in one write(2) when it is full
// or when the program empties it (before it waits for the person, before the
// screen is cleared, at exit). A write that fails is remembered: from then on
// nothing more is written and esvazia_saida keeps giving false, so the program
// can stop and say so instead of talking to nobody.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

inline constexpr std::size_t TAMANHO_BLOCO_SAIDA = std::size_t{64} * 1024;

struct Saida {
    int descritor;     // where the block goes
    int erro;          // errno of the first write that failed; 0 while none did
    std::size_t usado; // bytes of bloco waiting to be written
    char bloco[TAMANHO_BLOCO_SAIDA];
};

// The most characters of a std::int32_t in decimal: "-2147483648".
inline constexpr std::size_t DIGITOS_INT32 = 11;

// Waits, for at most milissegundos (-1: for as long as it takes), until
// descritor is ready for evento (POLLIN or POLLOUT), has failed or was closed
// at the other end. Returns true only then: false when the time ran out first,
// or when poll itself failed (the open-file limit lowered below one, say),
// after a pause of a few milliseconds unless milissegundos is 0, so that a
// caller that waits in a loop sleeps instead of spinning.
[[nodiscard]] bool espera_descritor(int descritor, short evento, int milissegundos);

// Prepares saida to write to descritor, with nothing waiting and no error.
void inicia_saida(Saida *saida, int descritor);

// Writes every byte waiting in the block, waiting while a non-blocking
// descriptor is full. Returns true when all of it went out; false, dropping
// the bytes, when a write failed now or earlier (saida->erro tells why).
[[nodiscard]] bool esvazia_saida(Saida *saida);

// What escreve does when texto does not fit in what is left of the block.
void escreve_no_bloco_cheio(Saida *saida, std::string_view texto);

// Adds texto to the output. Inline, with the copy into the block as its one
// common path: a call per text made the record programs a third slower.
inline void escreve(Saida *saida, std::string_view texto) {
    if (texto.size() <= sizeof saida->bloco - saida->usado) {
        std::memcpy(saida->bloco + saida->usado, texto.data(), texto.size());
        saida->usado += texto.size();
        return;
    }
    escreve_no_bloco_cheio(saida, texto);
}

// Adds numero in decimal, as "%d" writes it.
inline void escreve(Saida *saida, std::int32_t numero) {
    char digitos[DIGITOS_INT32];
    const char *fim = std::to_chars(digitos, digitos + sizeof digitos, numero).ptr;
    escreve(saida, std::string_view(digitos, static_cast<std::size_t>(fim - digitos)));
}

// Adds the bytes [texto, texto + tamanho); a writer for functions that hand
// their output over in pieces, with destino the Saida.
void escreve_trecho(void *destino, const char *texto, std::size_t tamanho);
