#include "console.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr std::string_view CONSOLE_NAO_CRIADO = "Erro:\n\tConsole nao foi criado\n";

// Says on standard error what could not be done, with the system's reason.
void relata(const char *programa, const char *o_que, int erro) {
    // Nothing is left to tell when standard error fails too.
    static_cast<void>(std::fprintf(stderr, "%s: %s: %s\n", programa, o_que, std::strerror(erro)));
}

} // namespace

void inicia_console(Console *console, const char *programa, int descritor_entrada,
                    int descritor_saida) {
    console->programa = programa;
    inicia_saida(&console->saida, descritor_saida);
    inicia_entrada(&console->entrada, descritor_entrada, &console->saida);
}

Console *abre_console(const char *programa) {
    auto *console = static_cast<Console *>(std::malloc(sizeof(Console)));
    if (console == nullptr) {
        // No block to write through: straight to the descriptor.
        const ssize_t escritos =
            write(STDOUT_FILENO, CONSOLE_NAO_CRIADO.data(), CONSOLE_NAO_CRIADO.size());
        if (escritos != static_cast<ssize_t>(CONSOLE_NAO_CRIADO.size())) {
            // Only a failed write sets errno; a short one leaves it as it was.
            relata(programa, "saida nao pode ser escrita", escritos < 0 ? errno : EIO);
        }
        return nullptr;
    }
    inicia_console(console, programa, STDIN_FILENO, STDOUT_FILENO);
    return console;
}

int fecha_console(Console *console, int status) {
    if (console == nullptr) {
        return EXIT_FAILURE;
    }
    // Whoever reads a seekable standard input next gets what this program did
    // not use. A pipe, a socket or a terminal cannot move back (ESPIPE): what
    // was read ahead from them is lost to a later reader, by their nature. A file
    // that does not move back (another process that shares it moved it first)
    // leaves that reader past what it should get: an input failure.
    if (const std::size_t nao_usados = bytes_nao_usados(&console->entrada);
        nao_usados > 0 &&
        lseek(console->entrada.descritor, -static_cast<off_t>(nao_usados), SEEK_CUR) < 0 &&
        errno != ESPIPE) {
        console->entrada.erro = errno;
    }
    // Some files report a failed write only when they are closed.
    if (esvazia_saida(&console->saida) && close(console->saida.descritor) != 0 && errno != EINTR) {
        console->saida.erro = errno;
    }
    // When both failed, both are told, the output first: it is what the
    // person could not see.
    if (console->saida.erro != 0) {
        relata(console->programa, "saida nao pode ser escrita", console->saida.erro);
        status = EXIT_FAILURE;
    }
    if (console->entrada.erro != 0) {
        relata(console->programa, "entrada nao pode ser lida", console->entrada.erro);
        status = EXIT_FAILURE;
    }
    std::free(console);
    return status;
}

Leitura pergunta_numero(Console *console, std::string_view pergunta, std::int32_t *numero) {
    Leitura leitura = Leitura::invalida;
    while (leitura == Leitura::invalida) {
        escreve(&console->saida, pergunta);
        leitura = le_numero(&console->entrada, numero);
    }
    return leitura;
}
