#include "apoio.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs dialogo over the input in fonte with its output in a memory file, and
// gives that output followed by the dialogue's end state.
std::string executa(Dialogo dialogo, Fonte fonte, std::size_t tamanho) {
    const int arquivo = memfd_create("saida", 0);
    if (arquivo < 0) {
        falha("cannot make the output file");
    }
    auto console = std::make_unique<Console>();
    inicia_console(console.get(), "fuzz", fonte.descritor, arquivo);
    const std::string estado = dialogo(console.get(), tamanho);
    if (!esvazia_saida(&console->saida)) {
        falha("cannot write the output file");
    }
    fecha(&fonte);
    struct stat arquivo_estado {};
    fstat(arquivo, &arquivo_estado);
    std::string saida(static_cast<std::size_t>(arquivo_estado.st_size), '\0');
    if (pread(arquivo, saida.data(), saida.size(), 0) != static_cast<ssize_t>(saida.size())) {
        falha("cannot read the output file");
    }
    close(arquivo);
    return saida + "\n[end state] " + estado;
}

} // namespace

Fonte fonte_inteira(std::string_view bytes) {
    const int arquivo = memfd_create("entrada", 0);
    if (arquivo < 0 ||
        write(arquivo, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        lseek(arquivo, 0, SEEK_SET) != 0) {
        falha("cannot make the input file");
    }
    return {arquivo, std::thread()};
}

Fonte fonte_em_pedacos(std::string_view bytes, std::uint32_t semente) {
    int par[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, par) != 0) {
        falha("cannot make the input socket");
    }
    std::thread escritor([bytes, semente, escrita = par[1]] {
        std::minstd_rand gerador(semente);
        for (std::size_t feitos = 0; feitos < bytes.size();) {
            // Pieces from 1 byte up to 4 KiB, small ones most often.
            const std::size_t limite = std::size_t{1} << (gerador() % 13);
            const std::size_t pedaco = std::min(1 + gerador() % limite, bytes.size() - feitos);
            // The reader may stop early and close its end: no SIGPIPE then.
            if (send(escrita, bytes.data() + feitos, pedaco, MSG_NOSIGNAL) < 0) {
                break;
            }
            feitos += pedaco;
        }
        close(escrita);
    });
    return {par[0], std::move(escritor)};
}

void fecha(Fonte *fonte) {
    close(fonte->descritor);
    if (fonte->escritor.joinable()) {
        fonte->escritor.join();
    }
}

std::uint32_t semente_de(std::string_view bytes) {
    std::uint32_t hash = 2166136261U; // FNV-1a
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
    }
    return hash;
}

void confere_em_pedacos(Dialogo dialogo, const std::uint8_t *dados, std::size_t tamanho) {
    const std::string_view bytes(reinterpret_cast<const char *>(dados), tamanho);
    const std::string inteira = executa(dialogo, fonte_inteira(bytes), tamanho);
    const std::string picada =
        executa(dialogo, fonte_em_pedacos(bytes, semente_de(bytes)), tamanho);
    if (inteira != picada) {
        const auto onde =
            std::mismatch(inteira.begin(), inteira.end(), picada.begin(), picada.end());
        const auto posicao = static_cast<std::size_t>(onde.first - inteira.begin());
        std::fprintf(stderr, "outputs differ from byte %zu:\nwhole:  %.80s\npieces: %.80s\n",
                     posicao, inteira.c_str() + posicao, picada.c_str() + posicao);
        falha("the output depends on how the input is split among reads");
    }
}

void falha(const char *mensagem) {
    std::fprintf(stderr, "%s\n", mensagem);
    std::abort();
}
