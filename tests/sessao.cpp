#include "sessao.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>
#include <vector>

namespace {

// A session that outlives this is taken as hung and killed.
constexpr int LIMITE_MS = 30'000;

// The words of the command that runs programa: those of SESSAO_ENVOLTORIO when it
// is set (a valgrind command line, say), then programa itself.
std::vector<std::string> comando(const std::string &programa) {
    std::vector<std::string> palavras;
    if (const char *envoltorio = std::getenv("SESSAO_ENVOLTORIO"); envoltorio != nullptr) {
        std::istringstream texto(envoltorio);
        for (std::string palavra; texto >> palavra;) {
            palavras.push_back(palavra);
        }
    }
    palavras.push_back(programa);
    return palavras;
}

[[noreturn]] void executa_no_filho(const std::vector<std::string> &palavras,
                                   const std::string &caminho) {
    if (!caminho.empty()) {
        setenv("PATH", caminho.c_str(), 1);
    }
    std::vector<char *> argumentos;
    for (const std::string &palavra : palavras) {
        argumentos.push_back(const_cast<char *>(palavra.c_str()));
    }
    argumentos.push_back(nullptr);
    execvp(argumentos[0], argumentos.data());
    _exit(127);
}

// Feeds entrada into escrita (closing it afterwards, or sending fim when not
// empty) while collecting everything from leitura until it ends.
std::string conversa(int escrita, int leitura, const std::string &entrada, const std::string &fim,
                     pid_t filho) {
    fcntl(escrita, F_SETFL, fcntl(escrita, F_GETFL) | O_NONBLOCK);
    std::string pendente = entrada + fim;
    std::string saida;
    bool escrita_aberta = true;
    int esperado_ms = 0;
    while (true) {
        pollfd fds[2] = {{leitura, POLLIN, 0}, {escrita, POLLOUT, 0}};
        const nfds_t quantos = escrita_aberta ? 2 : 1;
        const int prontos = poll(fds, quantos, 100);
        if (prontos < 0 && errno != EINTR) {
            break;
        }
        if (prontos == 0) {
            esperado_ms += 100;
            if (esperado_ms > LIMITE_MS) {
                kill(filho, SIGKILL);
                break;
            }
            continue;
        }
        if (quantos == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            const ssize_t n = write(escrita, pendente.data(), pendente.size());
            if (n > 0) {
                pendente.erase(0, static_cast<std::size_t>(n));
            }
            if (n < 0 && errno != EAGAIN) {
                pendente.clear(); // the program stopped reading
            }
            if (pendente.empty()) {
                if (fim.empty()) {
                    close(escrita);
                }
                escrita_aberta = false;
            }
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char bloco[4096];
            const ssize_t n = read(leitura, bloco, sizeof bloco);
            if (n <= 0) {
                break; // a pipe gives 0 at its end, a pseudo-terminal gives EIO
            }
            saida.append(bloco, static_cast<std::size_t>(n));
        }
    }
    if (escrita_aberta && fim.empty()) {
        close(escrita);
    }
    return saida;
}

int espera(pid_t filho) {
    int estado = 0;
    while (waitpid(filho, &estado, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
}

Sessao por_pipe(const std::string &programa, const std::string &entrada,
                const std::string &caminho) {
    int para_o_filho[2];
    int do_filho[2];
    if (pipe(para_o_filho) != 0 || pipe(do_filho) != 0) {
        return {"", -1};
    }
    const std::vector<std::string> palavras = comando(programa);
    const pid_t filho = fork();
    if (filho == 0) {
        dup2(para_o_filho[0], STDIN_FILENO);
        dup2(do_filho[1], STDOUT_FILENO);
        close(para_o_filho[0]);
        close(para_o_filho[1]);
        close(do_filho[0]);
        close(do_filho[1]);
        executa_no_filho(palavras, caminho);
    }
    close(para_o_filho[0]);
    close(do_filho[1]);
    std::signal(SIGPIPE, SIG_IGN);
    Sessao sessao{conversa(para_o_filho[1], do_filho[0], entrada, "", filho), 0};
    close(do_filho[0]);
    sessao.status = espera(filho);
    return sessao;
}

Sessao por_terminal(const std::string &programa, const std::string &entrada,
                    const std::string &caminho) {
    int mestre = -1;
    int escravo = -1;
    if (openpty(&mestre, &escravo, nullptr, nullptr, nullptr) != 0) {
        return {"", -1};
    }
    // A line discipline as at a shell prompt, but without echo and without
    // turning line ends into CR LF, so the output is the program's own bytes.
    termios modo{};
    tcgetattr(escravo, &modo);
    modo.c_lflag |= ICANON;
    modo.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    modo.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tcsetattr(escravo, TCSANOW, &modo);

    const std::vector<std::string> palavras = comando(programa);
    const pid_t filho = fork();
    if (filho == 0) {
        close(mestre);
        login_tty(escravo);
        executa_no_filho(palavras, caminho);
    }
    close(escravo);
    // End of input at a terminal is Ctrl-D at the start of a line; a last line
    // without its line end needs one Ctrl-D to be sent and a second to end.
    const std::string fim = !entrada.empty() && entrada.back() != '\n' ? "\x04\x04" : "\x04";
    Sessao sessao{conversa(mestre, mestre, entrada, fim, filho), 0};
    close(mestre);
    sessao.status = espera(filho);
    return sessao;
}

} // namespace

const std::string &pasta_clear_falso() {
    static const std::string pasta = [] {
        char modelo[] = "/tmp/clear-falso-XXXXXX";
        std::string criada = mkdtemp(modelo);
        const std::string script = criada + "/clear";
        const int fd = open(script.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0755);
        const std::string texto = std::string("#!/bin/sh\nprintf '%s' '") + MARCA_CLEAR + "'\n";
        [[maybe_unused]] const ssize_t escritos = write(fd, texto.data(), texto.size());
        close(fd);
        return criada;
    }();
    return pasta;
}

Sessao executa(const std::string &programa, const std::string &entrada, Modo modo,
               const std::string &caminho) {
    return modo == Modo::pipe ? por_pipe(programa, entrada, caminho)
                              : por_terminal(programa, entrada, caminho);
}

std::string caminho_com_clear_falso() {
    const char *atual = std::getenv("PATH");
    return pasta_clear_falso() + ":" + (atual != nullptr ? atual : "/usr/bin:/bin");
}

std::vector<Sessao> com_cada_alocacao_falhando(const std::string &programa,
                                               const std::string &entrada,
                                               const std::string &caminho) {
    char contagem[] = "/tmp/alocacoes-XXXXXX";
    close(mkstemp(contagem));
    setenv("CONTA_ALOCACOES_EM", contagem, 1);
    setenv("FALHA_NA_ALOCACAO", "0", 1);
    std::vector<Sessao> sessoes{executa(programa, entrada, Modo::pipe, caminho)};
    long alocacoes = 0;
    if (std::FILE *arquivo = std::fopen(contagem, "r"); arquivo != nullptr) {
        if (std::fscanf(arquivo, "%ld", &alocacoes) != 1) {
            alocacoes = 0;
        }
        std::fclose(arquivo);
    }
    for (long n = 1; n <= alocacoes; ++n) {
        setenv("FALHA_NA_ALOCACAO", std::to_string(n).c_str(), 1);
        sessoes.push_back(executa(programa, entrada, Modo::pipe, caminho));
    }
    unsetenv("FALHA_NA_ALOCACAO");
    unsetenv("CONTA_ALOCACOES_EM");
    std::remove(contagem);
    return sessoes;
}

void confere_transcricao(const std::string &programa, const Transcricao &transcricao,
                         const std::string &caminho) {
    for (const Modo modo : {Modo::pipe, Modo::terminal}) {
        if (modo == Modo::terminal && !transcricao.tambem_no_terminal) {
            continue;
        }
        SCOPED_TRACE(std::string(transcricao.nome) +
                     (modo == Modo::pipe ? " (pipe)" : " (terminal)"));
        const Sessao sessao = executa(programa, transcricao.entrada, modo, caminho);
        EXPECT_EQ(sessao.saida, transcricao.saida);
        EXPECT_EQ(sessao.status, transcricao.status);
    }
}
