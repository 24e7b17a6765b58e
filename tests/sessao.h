#pragma once
// Runs a console program as a person would: its input fed through a pipe or
// typed at a pseudo-terminal, its output captured byte for byte.
#include <string>
#include <vector>

enum class Modo {
    pipe,     // standard input and output are pipes
    terminal, // both are a pseudo-terminal without echo, lines given one at a time
};

struct Sessao {
    std::string saida; // everything the program wrote, in order
    int status;        // the exit status, or 128 + the signal that ended it
};

// The marker that the stand-in clear writes where the screen would be cleared.
inline constexpr const char *MARCA_CLEAR = "<CLEAR>";

// A folder holding a stand-in clear that writes MARCA_CLEAR, made once per
// test process. Put it first on PATH to see where a program clears the screen.
[[nodiscard]] const std::string &pasta_clear_falso();

// Runs programa with entrada as everything the person types, then the end of
// input. With caminho not empty, PATH is set to it for the program. When the
// environment holds SESSAO_ENVOLTORIO, its words come before programa on the
// command line: the program runs under that command (valgrind, say).
[[nodiscard]] Sessao executa(const std::string &programa, const std::string &entrada, Modo modo,
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
};

// Runs the transcript through a pipe and, unless it is pipe only, at a terminal,
// with PATH set to caminho, and checks output and status of each run; so the
// two must agree byte for byte.
void confere_transcricao(const std::string &programa, const Transcricao &transcricao,
                         const std::string &caminho);
