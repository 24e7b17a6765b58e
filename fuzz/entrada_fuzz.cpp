// Fuzz target: the line reader against a plain model of what each read must
// give, over any bytes, read whole or split among many reads.
//
// The first byte chooses the order of the reads (two bits each: a number, a
// line, a dropped line), the second the capacity of the line reads; the rest
// is the input.
#include "apoio.h"
#include "entrada.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

// A model of the input: the bytes not yet read.
struct Modelo {
    std::string_view resto;

    // Takes the rest of the current line, its line end included; gives the line
    // without it.
    std::string_view tira_linha() {
        const std::size_t quebra = resto.find('\n');
        const std::string_view linha = resto.substr(0, quebra);
        resto.remove_prefix(quebra == std::string_view::npos ? resto.size() : quebra + 1);
        return linha;
    }
};

bool eh_espaco(char c) {
    return std::strchr(" \t\n\v\f\r", c) != nullptr && c != '\0';
}

bool eh_digito(char c) {
    return c >= '0' && c <= '9';
}

// What le_numero must give: blank space and blank lines passed over, then a
// line that begins with an optional sign and digits that fit in 32 bits.
Leitura numero_esperado(Modelo *modelo, std::int32_t *numero) {
    while (!modelo->resto.empty() && eh_espaco(modelo->resto.front())) {
        modelo->resto.remove_prefix(1);
    }
    if (modelo->resto.empty()) {
        return Leitura::fim;
    }
    std::string_view linha = modelo->tira_linha();
    const bool negativo = linha.front() == '-';
    if (linha.front() == '-' || linha.front() == '+') {
        linha.remove_prefix(1);
    }
    std::size_t digitos = 0;
    while (digitos < linha.size() && eh_digito(linha[digitos])) {
        ++digitos;
    }
    std::uint64_t magnitude = 0;
    const auto [fim, erro] = std::from_chars(linha.data(), linha.data() + digitos, magnitude);
    const std::uint64_t limite = negativo ? 2147483648U : 2147483647U;
    if (digitos == 0 || erro != std::errc() || fim != linha.data() + digitos ||
        magnitude > limite) {
        return Leitura::invalida;
    }
    *numero = static_cast<std::int32_t>(negativo ? -static_cast<std::int64_t>(magnitude)
                                                 : static_cast<std::int64_t>(magnitude));
    return Leitura::ok;
}

// The length of the well-formed UTF-8 character that begins at texto[i], or 0
// when none begins there.
std::size_t caractere_utf8(std::string_view texto, std::size_t i) {
    const auto lider = static_cast<unsigned char>(texto[i]);
    const std::size_t tamanho = lider < 0x80   ? 1
                                : lider < 0xC2 ? 0
                                : lider < 0xE0 ? 2
                                : lider < 0xF0 ? 3
                                : lider < 0xF5 ? 4
                                               : 0;
    if (tamanho == 0 || i + tamanho > texto.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < tamanho; ++k) {
        if ((static_cast<unsigned char>(texto[i + k]) & 0xC0U) != 0x80U) {
            return 0;
        }
    }
    return tamanho;
}

// Checks what le_linha stored from linha with room for maximo bytes: a prefix
// of the line, the whole line when it fits; when it does not, a prefix that
// does not end inside a well-formed character and loses no more than such a
// character's first three bytes. In well-formed text the cut is exact.
void confere_linha(std::string_view linha, std::string_view guardada, std::size_t maximo) {
    if (guardada.size() > maximo || linha.substr(0, guardada.size()) != guardada) {
        falha("le_linha stored more than it may, or not the line's first bytes");
    }
    if (linha.size() <= maximo) {
        if (guardada.size() != linha.size()) {
            falha("le_linha cut a line that fits");
        }
        return;
    }
    bool bem_formado = true;
    std::size_t corte_exato = 0;
    for (std::size_t i = 0; i < linha.size();) {
        const std::size_t tamanho = caractere_utf8(linha, i);
        bem_formado = bem_formado && tamanho > 0;
        const std::size_t passo = tamanho > 0 ? tamanho : 1;
        if (tamanho > 0 && i < guardada.size() && i + tamanho > guardada.size()) {
            falha("le_linha cut a UTF-8 character in two");
        }
        if (i + passo <= maximo) {
            corte_exato = i + passo;
        }
        i += passo;
    }
    if (guardada.size() + 3 < maximo || (bem_formado && guardada.size() != corte_exato)) {
        falha("le_linha kept fewer bytes than it should");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dados, std::size_t tamanho) {
    if (tamanho < 2) {
        return 0;
    }
    const std::uint8_t ordem = dados[0];
    const std::size_t capacidade = 1 + dados[1] % 32;
    const std::string_view bytes(reinterpret_cast<const char *>(dados) + 2, tamanho - 2);

    // Odd seeds read the bytes whole, the others in pieces.
    const std::uint32_t semente = semente_de(bytes);
    Fonte fonte = semente % 2 == 1 ? fonte_inteira(bytes) : fonte_em_pedacos(bytes, semente);
    auto entrada = std::make_unique<Entrada>();
    inicia_entrada(entrada.get(), fonte.descritor, nullptr);
    Modelo modelo{bytes};

    // Each read takes at least one byte or meets the end, so this reads it all
    // and then sees the end once.
    for (std::size_t leitura = 0; leitura <= bytes.size(); ++leitura) {
        const bool tinha_bytes = !modelo.resto.empty();
        switch ((ordem >> (2 * (leitura % 4))) & 3U) {
        case 1: {
            // Exactly capacidade bytes, so that writing past them is caught.
            const auto guardada = std::make_unique<char[]>(capacidade);
            std::memset(guardada.get(), '#', capacidade);
            const Leitura obtida = le_linha(entrada.get(), guardada.get(), capacidade);
            if (!tinha_bytes) {
                if (obtida != Leitura::fim || guardada[0] != '#') {
                    falha("le_linha at the end did not give fim, or stored something");
                }
                break;
            }
            const std::string_view linha = modelo.tira_linha();
            // The line may hold NULs: the text ends at the last terminator that
            // follows a prefix of the line.
            std::size_t guardados = capacidade;
            for (std::size_t n = capacidade; n-- > 0;) {
                if (guardada[n] == '\0' &&
                    linha.substr(0, n) == std::string_view(guardada.get(), n)) {
                    guardados = n;
                    break;
                }
            }
            if (obtida != Leitura::ok || guardados == capacidade) {
                falha("le_linha did not give ok with a prefix of the line, terminated");
            }
            confere_linha(linha, std::string_view(guardada.get(), guardados), capacidade - 1);
            break;
        }
        case 2: {
            const Leitura obtida = descarta_linha(entrada.get());
            if (obtida != (tinha_bytes ? Leitura::ok : Leitura::fim)) {
                falha("descarta_linha gave the wrong result");
            }
            modelo.tira_linha();
            break;
        }
        default: {
            std::int32_t obtido = 12345;
            std::int32_t esperado = 12345;
            const Leitura leitura_obtida = le_numero(entrada.get(), &obtido);
            if (leitura_obtida != numero_esperado(&modelo, &esperado) || obtido != esperado) {
                falha("le_numero gave another result or value than the model");
            }
            break;
        }
        }
        if (!tinha_bytes) {
            break;
        }
    }
    fecha(&fonte);
    return 0;
}
