#pragma once
// Runs a console program as a person would: its input fed through a pipe or
// typed at a pseudo-terminal, its output captured byte for byte.
//
// Each program runs in a process group of its own, with every signal at its
// default and none blocked, as from a shell. A session that has not ended 20 s
// after its start, or that writes more than 64 MiB, fails the test and is
// killed with its whole group; so is the group on every other way out of the
// harness, and when the test process itself dies. Nothing a session makes
// outlives it; the harness's one folder (the stand-in clear's) goes when the
// test process ends, however it ends.
#include <string>
#include <vector>

enum class Modo {
    pipe,     // standard input and output are pipes, standard error a third one
    terminal, // all three are one pseudo-terminal without echo; everything typed
              // is written to it at once, as when a person types ahead
};

// Where standard input comes from, besides the ordinary pipe or terminal.
enum class Origem {
    comum,    // a pipe (or the terminal), entrada written at once, then its end
    atrasada, // a pipe set O_NONBLOCK before the start; entrada written 0.3 s after
              // Arranjo::espera shows (after the start when it is null)
    arquivo,  // a seekable file holding entrada
    caminho,  // the file or folder named by Arranjo::caminho, opened for reading
    fechada,  // descriptor 0 closed
};

// Where standard output goes, besides the ordinary pipe or terminal.
enum class Destino {
    comum,   // captured in Sessao::saida
    cheio,   // /dev/full: every write fails with ENOSPC
    fechado, // descriptor 1 closed
    breve,   // a pipe whose reader takes the first 10 bytes and leaves, as `| head -c 10`
};

// How a session is connected, when not as usual. Anything but the ordinary
// origem and destino needs Modo::pipe.
struct Arranjo {
    Origem origem = Origem::comum;
    const char *caminho = nullptr; // for Origem::caminho
    // For Origem::atrasada: the text after which the program first waits, so
    // that the answers come late even to a program slow to get there.
    const char *espera = nullptr;
    Destino destino = Destino::comum;
    long pilha = 0; // when not 0, the soft limit on the program's stack, in bytes
};

struct Sessao {
    std::string saida;      // everything the program wrote, in order
    int status;             // the exit status, or 128 + the signal that ended it
    std::string erro = {};  // what it wrote on standard error (through a pipe only)
    std::string resto = {}; // with Origem::arquivo: what the next reader of the file gets
};

// The marker that the stand-in clear writes where the screen would be cleared.
inline constexpr const char *MARCA_CLEAR = "<CLEAR>";

// A folder holding a stand-in clear that writes MARCA_CLEAR (and, as the real
// one, says nothing when it cannot), made once per test process in the
// temporary folder and removed with all it holds once that process has ended.
// Put it first on PATH to see where a program clears the screen.
[[nodiscard]] const std::string &pasta_clear_falso();

// Runs programa with entrada as everything the person types, then the end of
// input. With caminho not empty, PATH is set to it for the program. When the
// environment holds SESSAO_ENVOLTORIO, its words come before programa on the
// command line: the program runs under that command (valgrind, say).
[[nodiscard]] Sessao executa(const std::string &programa, const std::string &entrada, Modo modo,
                             const std::string &caminho, const Arranjo &arranjo = {});

// One turn of a dialogue: the text the program must have written since the
// previous answer, and the answer then typed.
struct Troca {
    std::string espera;
    std::string resposta;
};

// Runs programa at a pseudo-terminal as a person does: types each answer only
// once the text it answers is on the screen, then waits for the program to end.
// Fails the test and ends the session when a text is not there 10 s after the
// previous answer was typed.
[[nodiscard]] Sessao dialoga(const std::string &programa, const std::vector<Troca> &trocas,
                             const std::string &caminho);

// The PATH with the stand-in clear first.
[[nodiscard]] std::string caminho_com_clear_falso();

// Runs programa, built with the malloc failure switch, through a pipe: once with
// no allocation failing, which counts the allocations of the whole run, then
// once with each of them failing in turn. Gives the sessions in that order: [0]
// with none failing, [n] with the n-th failing. A first run that does not end
// through exit (a crash) counts no allocation.
[[nodiscard]] std::vector<Sessao> com_cada_alocacao_falhando(const std::string &programa,
                                                             const std::string &entrada,
                                                             const std::string &caminho);

// A scripted session: everything typed, and all the program must write and end with.
struct Transcricao {
    const char *nome;
    std::string entrada;
    std::string saida;
    int status = 0;
    bool tambem_no_terminal = true; // a terminal cuts lines longer than 4 KiB
    std::string erro = {};          // all it must write on standard error
    std::string resto = {};         // with Origem::arquivo: what it must leave unread
    Arranjo arranjo = {};
};

// Runs the transcript through a pipe and, unless it is pipe only or needs an
// arrangement a terminal does not have, at a terminal, with PATH set to
// caminho, and checks output, status and standard error (through the pipe) of
// each run; so the two must agree byte for byte. When SESSAO_ENVOLTORIO is not
// empty, a transcript with a stack limit or a closed descriptor is passed over:
// the command around the program (valgrind) runs it on a stack of its own, and
// its own files take the lowest free descriptor, the closed one.
void confere_transcricao(const std::string &programa, const Transcricao &transcricao,
                         const std::string &caminho);
