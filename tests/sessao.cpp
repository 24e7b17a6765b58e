#include "sessao.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>
#include <vector>

namespace {

using Relogio = std::chrono::steady_clock;

// A session still running this long after its start is taken as hung.
constexpr std::chrono::seconds LIMITE{20};
// A session that writes more than this (standard output and error together) is
// taken as running away.
constexpr std::size_t LIMITE_SAIDA = std::size_t{64} << 20;
// How long a prompt may take to show after the previous answer was typed.
constexpr std::chrono::seconds LIMITE_PROMPT{10};
// How late the answers of Origem::atrasada arrive.
constexpr std::chrono::milliseconds ATRASO{300};
// What the reader of Destino::breve takes before it leaves.
constexpr std::size_t BYTES_BREVE = 10;
// What a session stopped by the harness keeps of its output: enough to see
// what went wrong, not so much that the failure floods the log.
constexpr std::size_t MOSTRA = 2048;

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

std::string pasta_temporaria() {
    const char *pasta = std::getenv("TMPDIR");
    return pasta != nullptr && *pasta != '\0' ? pasta : "/tmp";
}

void fecha(int *fd) {
    if (*fd >= 0) {
        close(*fd);
        *fd = -1;
    }
}

// The child of one session. However the session ends, the guard kills the
// child's process group (with whatever the program started) and reaps the child.
struct Filho {
    pid_t pid = -1; // -1 once reaped
    Filho() = default;
    Filho(const Filho &) = delete;
    Filho &operator=(const Filho &) = delete;
    ~Filho();
};

// Kills what is left of the child's group (the child too, when it still runs),
// then reaps the child. Gives its exit status, or 128 + the signal that ended it.
int recolhe(Filho *filho) {
    // While the child is unreaped its pid names its group, so no other is hit.
    kill(-filho->pid, SIGKILL);
    kill(filho->pid, SIGKILL); // in case it has not yet made its group
    int estado = 0;
    while (waitpid(filho->pid, &estado, 0) < 0 && errno == EINTR) {
    }
    filho->pid = -1;
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
}

Filho::~Filho() {
    if (pid > 0) {
        recolhe(this);
    }
}

// Waits until the child ends of itself, until prazo at most, and gives its
// status; a child still running then fails the test and is killed.
int espera(Filho *filho, Relogio::time_point prazo) {
    while (true) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(filho->pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 &&
            errno != EINTR) {
            break;
        }
        if (info.si_pid == filho->pid) {
            break;
        }
        if (Relogio::now() >= prazo) {
            ADD_FAILURE() << "the program closed its output but did not end within "
                          << LIMITE.count() << " s of its start; killed";
            break;
        }
        usleep(1000);
    }
    return recolhe(filho);
}

// In the child, before anything else: ends it with the test process, should
// that die first, so that no program outlives a killed test.
void morre_com_o_pai(pid_t pai) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != pai) {
        _exit(127);
    }
}

// In the child: every signal at its default and none blocked, as a shell starts
// a command (the test process ignores SIGPIPE, which exec would pass on), the
// stack limit, PATH; then the command. Never returns.
[[noreturn]] void executa_no_filho(const std::vector<std::string> &palavras,
                                   const std::string &caminho, long pilha) {
    struct sigaction padrao {};
    padrao.sa_handler = SIG_DFL;
    sigemptyset(&padrao.sa_mask);
    for (int sinal = 1; sinal < NSIG; ++sinal) {
        sigaction(sinal, &padrao, nullptr); // refused, harmlessly, for SIGKILL and SIGSTOP
    }
    sigset_t nenhum;
    sigemptyset(&nenhum);
    sigprocmask(SIG_SETMASK, &nenhum, nullptr);
    if (pilha != 0) {
        rlimit limite{};
        getrlimit(RLIMIT_STACK, &limite);
        limite.rlim_cur = static_cast<rlim_t>(pilha);
        if (setrlimit(RLIMIT_STACK, &limite) != 0) {
            _exit(126);
        }
    }
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

// A descriptor the harness reads the program's output from, and the text it fills.
struct Canal {
    int fd;
    std::string *texto;
    std::size_t leva = SIZE_MAX; // the reader closes fd and leaves after this many bytes
    bool aberto = true;          // false once the output ended
};

// What the harness types, and when.
struct Roteiro {
    std::vector<Troca> trocas;
    const std::string *tela = nullptr; // where each troca's espera is looked for
    Relogio::duration atraso{};        // how long after its espera shows each answer comes
    bool fecha_no_fim = true;          // closes escrita after the last answer: a pipe's end
};

struct Desfecho {
    bool parada;        // the harness stopped the session (the test has failed)
    std::size_t trocas; // how many answers were taken
};

// Drives one running program: types each answer of roteiro once its text is
// on the screen, and collects what the program writes until every canal ends.
// Stops early, failing the test with the reason, at the session's deadline,
// past the output cap, or when a prompt does not show in time. Closes escrita
// (setting it to -1) when roteiro says so; never closes a canal but a leaving
// reader's.
Desfecho conversa(int *escrita, std::vector<Canal> *canais, const Roteiro &roteiro,
                  Relogio::time_point inicio) {
    const auto prazo = inicio + LIMITE;
    std::size_t proxima = 0;     // the next troca
    std::size_t desde = 0;       // where its espera is looked for
    bool visto = false;          // its espera is on the screen
    auto visto_em = inicio;      // since when
    std::string pendente;        // what is left to write of the answer taken
    auto aguarda_desde = inicio; // since when the next espera is awaited
    std::size_t capturados = 0;
    while (true) {
        bool algum_aberto = false;
        for (const Canal &canal : *canais) {
            algum_aberto = algum_aberto || canal.aberto;
        }
        if (!algum_aberto) {
            return {false, proxima};
        }
        const auto agora = Relogio::now();
        if (agora >= prazo) {
            ADD_FAILURE() << "the program did not end within " << LIMITE.count()
                          << " s of its start; killed";
            return {true, proxima};
        }
        if (*escrita >= 0 && pendente.empty() && proxima < roteiro.trocas.size()) {
            const Troca &troca = roteiro.trocas[proxima];
            if (!visto) {
                const std::size_t achado = roteiro.tela->find(troca.espera, desde);
                if (achado != std::string::npos) {
                    desde = achado + troca.espera.size();
                    visto = true;
                    visto_em = agora;
                } else if (agora - aguarda_desde >= LIMITE_PROMPT) {
                    ADD_FAILURE() << "\"" << troca.espera << "\" was not on the screen "
                                  << LIMITE_PROMPT.count() << " s after "
                                  << (proxima == 0 ? "the start" : "the previous answer")
                                  << "; the screen since then: \"" << roteiro.tela->substr(desde)
                                  << "\"";
                    return {true, proxima};
                }
            }
            if (visto && agora - visto_em >= roteiro.atraso) {
                pendente = troca.resposta;
                ++proxima;
                visto = false;
            }
        }
        if (*escrita >= 0 && pendente.empty() && proxima == roteiro.trocas.size() &&
            roteiro.fecha_no_fim) {
            fecha(escrita);
        }

        std::vector<pollfd> fds;
        for (const Canal &canal : *canais) {
            fds.push_back({canal.aberto ? canal.fd : -1, POLLIN, 0});
        }
        const bool escreve = *escrita >= 0 && !pendente.empty();
        fds.push_back({escreve ? *escrita : -1, POLLOUT, 0});
        if (poll(fds.data(), fds.size(), 10) < 0 && errno != EINTR) {
            ADD_FAILURE() << "poll: " << std::strerror(errno);
            return {true, proxima};
        }
        if (escreve && (fds.back().revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            const ssize_t n = write(*escrita, pendente.data(), pendente.size());
            if (n > 0) {
                pendente.erase(0, static_cast<std::size_t>(n));
                aguarda_desde = Relogio::now();
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                pendente.clear(); // the program stopped reading: nothing more is typed
                proxima = roteiro.trocas.size();
            }
        }
        for (std::size_t i = 0; i < canais->size(); ++i) {
            Canal &canal = (*canais)[i];
            if (!canal.aberto || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            char bloco[65536];
            const ssize_t n = read(canal.fd, bloco, sizeof bloco);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            if (n <= 0) {
                canal.aberto = false; // a pipe gives 0 at its end, a pseudo-terminal EIO
                continue;
            }
            canal.texto->append(bloco, static_cast<std::size_t>(n));
            capturados += static_cast<std::size_t>(n);
            if (capturados > LIMITE_SAIDA) {
                ADD_FAILURE() << "the program wrote more than " << (LIMITE_SAIDA >> 20)
                              << " MiB without ending; killed";
                return {true, proxima};
            }
            if (canal.texto->size() >= canal.leva) {
                canal.texto->resize(canal.leva);
                fecha(&canal.fd);
                canal.aberto = false;
            }
        }
    }
}

// Shortens the output of a session the harness stopped, which may be huge.
void encurta(Sessao *sessao) {
    for (std::string *texto : {&sessao->saida, &sessao->erro}) {
        if (texto->size() > MOSTRA) {
            texto->resize(MOSTRA);
            *texto += "[... cut by the test]";
        }
    }
}

// Starts the command in a child whose descriptors 0, 1 and 2 are padrao's (a
// closed one where padrao holds -1), in a process group of its own. Every
// descriptor of the harness is close-on-exec, so the program gets only those.
pid_t inicia_por_pipes(const std::vector<std::string> &palavras, const std::string &caminho,
                       long pilha, const int (&padrao)[3]) {
    const pid_t pai = getpid();
    const pid_t filho = fork();
    if (filho == 0) {
        morre_com_o_pai(pai);
        setpgid(0, 0);
        for (int alvo = 0; alvo < 3; ++alvo) {
            if (padrao[alvo] >= 0) {
                dup2(padrao[alvo], alvo);
            }
        }
        for (int alvo = 0; alvo < 3; ++alvo) {
            if (padrao[alvo] < 0) {
                close(alvo);
            }
        }
        executa_no_filho(palavras, caminho, pilha);
    }
    if (filho > 0) {
        setpgid(filho, filho); // so that the group exists whichever of the two runs first
    }
    return filho;
}

Sessao por_pipe(const std::string &programa, const std::string &entrada, const std::string &caminho,
                const Arranjo &arranjo) {
    std::signal(SIGPIPE, SIG_IGN); // a program that stops reading must not end the test
    Sessao sessao{"", -1, "", ""};
    // [0] the program's standard input, [1] its output, [2] its error, then the
    // harness's ends: [3] where it types, [4] and [5] where it reads output and error.
    int fds[6] = {-1, -1, -1, -1, -1, -1};
    const auto fecha_todos = [&fds] {
        for (int &fd : fds) {
            fecha(&fd);
        }
    };
    bool pronto = true;
    const auto cano = [&pronto](int *leitura, int *escrita) {
        int par[2];
        if (pipe2(par, O_CLOEXEC) != 0) {
            pronto = false;
            return;
        }
        *leitura = par[0];
        *escrita = par[1];
    };
    switch (arranjo.origem) {
    case Origem::comum:
    case Origem::atrasada:
        cano(&fds[0], &fds[3]);
        if (arranjo.origem == Origem::atrasada && fds[0] >= 0) {
            fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
        }
        break;
    case Origem::arquivo:
        // The program and the harness share its offset, as two commands of a
        // shell share a file given to both: what the program leaves unread is
        // what the harness reads after it.
        fds[0] = memfd_create("entrada", MFD_CLOEXEC);
        pronto =
            fds[0] >= 0 &&
            write(fds[0], entrada.data(), entrada.size()) == static_cast<ssize_t>(entrada.size()) &&
            lseek(fds[0], 0, SEEK_SET) == 0;
        break;
    case Origem::caminho:
        fds[0] = open(arranjo.caminho, O_RDONLY | O_CLOEXEC);
        pronto = fds[0] >= 0;
        break;
    case Origem::fechada:
        break;
    }
    switch (arranjo.destino) {
    case Destino::comum:
    case Destino::breve:
        cano(&fds[4], &fds[1]);
        break;
    case Destino::cheio:
        fds[1] = open("/dev/full", O_WRONLY | O_CLOEXEC);
        pronto = pronto && fds[1] >= 0;
        break;
    case Destino::fechado:
        break;
    }
    cano(&fds[5], &fds[2]);
    if (!pronto) {
        ADD_FAILURE() << "the session's descriptors cannot be made: " << std::strerror(errno);
        fecha_todos();
        return sessao;
    }

    const auto inicio = Relogio::now();
    Filho filho;
    filho.pid =
        inicia_por_pipes(comando(programa), caminho, arranjo.pilha, {fds[0], fds[1], fds[2]});
    if (filho.pid < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        fecha_todos();
        return sessao;
    }
    const int arquivo = arranjo.origem == Origem::arquivo ? fds[0] : -1;
    for (int i = 0; i < 3; ++i) {
        if (fds[i] != arquivo) {
            fecha(&fds[i]);
        }
    }
    if (fds[3] >= 0) {
        fcntl(fds[3], F_SETFL, fcntl(fds[3], F_GETFL) | O_NONBLOCK);
    }

    std::vector<Canal> canais;
    const bool com_saida = fds[4] >= 0;
    if (com_saida) {
        canais.push_back(
            {fds[4], &sessao.saida, arranjo.destino == Destino::breve ? BYTES_BREVE : SIZE_MAX});
    }
    canais.push_back({fds[5], &sessao.erro});
    Roteiro roteiro{{{"", entrada}}, &sessao.saida};
    if (arranjo.origem == Origem::atrasada) {
        roteiro.trocas[0].espera = arranjo.espera != nullptr ? arranjo.espera : "";
        roteiro.atraso = ATRASO;
    }
    const Desfecho desfecho = conversa(&fds[3], &canais, roteiro, inicio);
    if (com_saida) {
        fds[4] = canais[0].fd; // -1 when a leaving reader closed it
    }
    if (desfecho.parada) {
        sessao.status = recolhe(&filho);
        encurta(&sessao);
    } else {
        sessao.status = espera(&filho, inicio + LIMITE);
    }
    if (arquivo >= 0) {
        char bloco[4096];
        for (ssize_t n = 0; (n = read(arquivo, bloco, sizeof bloco)) > 0;) {
            sessao.resto.append(bloco, static_cast<std::size_t>(n));
        }
    }
    fecha_todos();
    return sessao;
}

// Runs programa at a pseudo-terminal, typing as roteiro's trocas say (their
// espera looked for in the session's output); tells in *desfecho how it went.
Sessao por_terminal(const std::string &programa, Roteiro roteiro, const std::string &caminho,
                    long pilha, Desfecho *desfecho) {
    Sessao sessao{"", -1, "", ""};
    int mestre = -1;
    int escravo = -1;
    if (openpty(&mestre, &escravo, nullptr, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "openpty: " << std::strerror(errno);
        return sessao;
    }
    fcntl(mestre, F_SETFD, FD_CLOEXEC);
    fcntl(mestre, F_SETFL, fcntl(mestre, F_GETFL) | O_NONBLOCK);
    // A line discipline as at a shell prompt, but without echo and without
    // turning line ends into CR LF, so the output is the program's own bytes.
    termios modo{};
    tcgetattr(escravo, &modo);
    modo.c_lflag |= ICANON;
    modo.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    modo.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tcsetattr(escravo, TCSANOW, &modo);

    const std::vector<std::string> palavras = comando(programa);
    const auto inicio = Relogio::now();
    const pid_t pai = getpid();
    Filho filho;
    filho.pid = fork();
    if (filho.pid == 0) {
        morre_com_o_pai(pai);
        login_tty(escravo); // a session, and so a process group, of its own
        executa_no_filho(palavras, caminho, pilha);
    }
    close(escravo);
    if (filho.pid < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        close(mestre);
        return sessao;
    }
    std::vector<Canal> canais{{mestre, &sessao.saida}};
    roteiro.tela = &sessao.saida;
    roteiro.fecha_no_fim = false; // closing the terminal would hang it up
    int escrita = mestre;
    *desfecho = conversa(&escrita, &canais, roteiro, inicio);
    if (desfecho->parada) {
        sessao.status = recolhe(&filho);
        encurta(&sessao);
    } else {
        sessao.status = espera(&filho, inicio + LIMITE);
    }
    close(mestre);
    return sessao;
}

// Removes pasta and what it holds once the test process has ended, however it
// ends (a crash or SIGKILL too): a child of its own waits for the end of a pipe
// whose other end only the test process holds. Gives false when it cannot.
bool remove_no_fim(const std::string &pasta) {
    int par[2];
    if (pipe2(par, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t faxineiro = fork();
    if (faxineiro == 0) {
        close(par[1]);
        // Its own group, away from a Ctrl-C meant for the tests, and none of
        // their descriptors, so whoever reads the tests' output is not kept waiting.
        setpgid(0, 0);
        const int nulo = open("/dev/null", O_RDWR);
        for (int alvo = 0; alvo < 3; ++alvo) {
            dup2(nulo, alvo);
        }
        char byte = 0;
        while (read(par[0], &byte, 1) < 0 && errno == EINTR) {
        }
        std::error_code erro;
        std::filesystem::remove_all(pasta, erro);
        _exit(0);
    }
    close(par[0]);
    if (faxineiro < 0) {
        close(par[1]);
        return false;
    }
    return true; // par[1] stays open, and close-on-exec, until the test process ends
}

} // namespace

const std::string &pasta_clear_falso() {
    static const std::string pasta = [] {
        std::string modelo = pasta_temporaria() + "/clear-falso-XXXXXX";
        if (mkdtemp(modelo.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp " << modelo << ": " << std::strerror(errno);
            return std::string();
        }
        if (!remove_no_fim(modelo)) {
            ADD_FAILURE() << "nothing can remove " << modelo << ": " << std::strerror(errno);
        }
        // Like the real clear, it says nothing when the screen cannot be written.
        const std::string texto =
            std::string("#!/bin/sh\nprintf '%s' '") + MARCA_CLEAR + "' 2>/dev/null\n";
        const std::string script = modelo + "/clear";
        const int fd = open(script.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
        const bool escrito =
            fd >= 0 &&
            write(fd, texto.data(), texto.size()) == static_cast<ssize_t>(texto.size()) &&
            close(fd) == 0;
        if (!escrito) {
            ADD_FAILURE() << "the stand-in clear cannot be written: " << std::strerror(errno);
        }
        return modelo;
    }();
    return pasta;
}

Sessao executa(const std::string &programa, const std::string &entrada, Modo modo,
               const std::string &caminho, const Arranjo &arranjo) {
    if (modo == Modo::pipe) {
        return por_pipe(programa, entrada, caminho, arranjo);
    }
    // End of input at a terminal is Ctrl-D at the start of a line; a last line
    // without its line end needs one Ctrl-D to be sent and a second to end.
    const std::string fim = !entrada.empty() && entrada.back() != '\n' ? "\x04\x04" : "\x04";
    Desfecho desfecho{};
    return por_terminal(programa, {{{"", entrada + fim}}}, caminho, arranjo.pilha, &desfecho);
}

Sessao dialoga(const std::string &programa, const std::vector<Troca> &trocas,
               const std::string &caminho) {
    Desfecho desfecho{true, 0};
    Sessao sessao = por_terminal(programa, {trocas}, caminho, 0, &desfecho);
    if (!desfecho.parada && desfecho.trocas < trocas.size()) {
        ADD_FAILURE() << "the program ended with status " << sessao.status << " before \""
                      << trocas[desfecho.trocas].espera << "\" was on the screen";
    }
    return sessao;
}

std::string caminho_com_clear_falso() {
    const char *atual = std::getenv("PATH");
    return pasta_clear_falso() + ":" + (atual != nullptr ? atual : "/usr/bin:/bin");
}

std::vector<Sessao> com_cada_alocacao_falhando(const std::string &programa,
                                               const std::string &entrada,
                                               const std::string &caminho) {
    // In the harness's folder, so that nothing outlives the test process.
    if (pasta_clear_falso().empty()) {
        return {};
    }
    const std::string contagem = pasta_clear_falso() + "/alocacoes";
    setenv("CONTA_ALOCACOES_EM", contagem.c_str(), 1);
    setenv("FALHA_NA_ALOCACAO", "0", 1);
    std::vector<Sessao> sessoes{executa(programa, entrada, Modo::pipe, caminho)};
    long alocacoes = 0;
    if (std::FILE *arquivo = std::fopen(contagem.c_str(), "r"); arquivo != nullptr) {
        if (std::fscanf(arquivo, "%ld", &alocacoes) != 1) {
            alocacoes = 0;
        }
        std::fclose(arquivo);
    }
    unsetenv("CONTA_ALOCACOES_EM"); // the runs that follow would write the file again
    std::remove(contagem.c_str());
    for (long n = 1; n <= alocacoes; ++n) {
        setenv("FALHA_NA_ALOCACAO", std::to_string(n).c_str(), 1);
        sessoes.push_back(executa(programa, entrada, Modo::pipe, caminho));
    }
    unsetenv("FALHA_NA_ALOCACAO");
    return sessoes;
}

void confere_transcricao(const std::string &programa, const Transcricao &transcricao,
                         const std::string &caminho) {
    const Arranjo &arranjo = transcricao.arranjo;
    if (const char *envoltorio = std::getenv("SESSAO_ENVOLTORIO");
        envoltorio != nullptr && *envoltorio != '\0') {
        // The command around the program gives it a stack of its own, and its
        // own files (valgrind's log) take the lowest free descriptor first.
        const char *porque = arranjo.pilha != 0                    ? "a stack limit"
                             : arranjo.origem == Origem::fechada   ? "a closed input"
                             : arranjo.destino == Destino::fechado ? "a closed output"
                                                                   : nullptr;
        if (porque != nullptr) {
            std::printf("\"%s\" passed over: %s does not reach a program run under "
                        "SESSAO_ENVOLTORIO\n",
                        transcricao.nome, porque);
            return;
        }
    }
    const bool no_terminal = transcricao.tambem_no_terminal && arranjo.origem == Origem::comum &&
                             arranjo.destino == Destino::comum;
    for (const Modo modo : {Modo::pipe, Modo::terminal}) {
        if (modo == Modo::terminal && !no_terminal) {
            continue;
        }
        SCOPED_TRACE(std::string(transcricao.nome) +
                     (modo == Modo::pipe ? " (pipe)" : " (terminal)"));
        const Sessao sessao = executa(programa, transcricao.entrada, modo, caminho, arranjo);
        EXPECT_EQ(sessao.saida, transcricao.saida);
        EXPECT_EQ(sessao.status, transcricao.status);
        if (modo == Modo::pipe) {
            EXPECT_EQ(sessao.erro, transcricao.erro);
            if (arranjo.origem == Origem::arquivo) {
                EXPECT_EQ(sessao.resto, transcricao.resto);
            }
        }
    }
}
