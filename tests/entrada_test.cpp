#include "comum.h"
#include "console.h"
#include "conta_chamadas.h"
#include "entrada.h"
#include "falha_malloc.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Names a Leitura in a failed assertion, rather than showing its bytes.
static void PrintTo(Leitura leitura, std::ostream *saida) {
    constexpr std::array<const char *, 4> NOMES = {"ok", "invalida", "fim", "erro"};
    *saida << NOMES.at(static_cast<std::size_t>(leitura)); // in the order they are declared
}

namespace {

// One read and what it must give: 'n' a number, 'l' a line of up to 19 bytes
// (a name), 'd' a line dropped.
struct Pedido {
    char tipo;
    Leitura esperado;
    std::string valor; // the number in decimal, or the line stored
};

struct Caso {
    const char *nome;
    std::string entrada;
    std::vector<Pedido> pedidos;
};

const Leitura OK = Leitura::ok;
const Leitura INVALIDA = Leitura::invalida;
const Leitura FIM = Leitura::fim;
const Leitura ERRO = Leitura::erro;

const std::vector<Caso> CASOS = {
    {"number lines and their ends",
     "12\n-7\n+3\n",
     {{'n', OK, "12"}, {'n', OK, "-7"}, {'n', OK, "3"}, {'n', FIM, ""}}},
    {"blank lines and spaces are passed over",
     "\n  \n\t 42  \n",
     {{'n', OK, "42"}, {'n', FIM, ""}}},
    {"every blank byte before a number, and CRLF line ends",
     "\r\n\v\f \t9\r\n\r\n-4\r\n",
     {{'n', OK, "9"}, {'n', OK, "-4"}, {'n', FIM, ""}}},
    {"the rest of a number's line is dropped",
     "12abc\n5 6\nnome\n",
     {{'n', OK, "12"}, {'n', OK, "5"}, {'l', OK, "nome"}}},
    {"the 32-bit limits",
     "2147483647\n-2147483648\n",
     {{'n', OK, "2147483647"}, {'n', OK, "-2147483648"}}},
    {"out of range stores nothing",
     "2147483648\n-2147483649\n99999999999999999999999\n1\n",
     {{'n', INVALIDA, ""}, {'n', INVALIDA, ""}, {'n', INVALIDA, ""}, {'n', OK, "1"}}},
    {"leading zeros do not overflow", "000000000000000000000000017\n", {{'n', OK, "17"}}},
    {"zeros alone, the last without its line end",
     "0\n-00\n+000",
     {{'n', OK, "0"}, {'n', OK, "0"}, {'n', OK, "0"}, {'n', FIM, ""}}},
    {"-00 as a last line without its end", "-00", {{'n', OK, "0"}, {'n', FIM, ""}}},
    {"letters, a lone sign",
     "abc\n-\n+x\n8\n",
     {{'n', INVALIDA, ""}, {'n', INVALIDA, ""}, {'n', INVALIDA, ""}, {'n', OK, "8"}}},
    {"a last line without its end", "5", {{'n', OK, "5"}, {'n', FIM, ""}}},
    {"a name after a number",
     "3\nMaria da Silva\n",
     {{'n', OK, "3"}, {'l', OK, "Maria da Silva"}, {'l', FIM, ""}}},
    {"an empty name line", "\n\nx\n", {{'l', OK, ""}, {'l', OK, ""}, {'l', OK, "x"}}},
    {"a 19-byte name is kept whole",
     "abcdefghijklmnopqrs\nz\n",
     {{'l', OK, "abcdefghijklmnopqrs"}, {'l', OK, "z"}}},
    {"a long name keeps 19 bytes",
     "abcdefghijklmnopqrstuvwxyz\nz\n",
     {{'l', OK, "abcdefghijklmnopqrs"}, {'l', OK, "z"}}},
    {"the cut does not split a UTF-8 character",
     "abcdefghijklmnopqré\nz\n",
     {{'l', OK, "abcdefghijklmnopqr"}, {'l', OK, "z"}}},
    {"a three-byte character at the cut",
     "abcdefghijklmnopq\xE2\x82\xACx\n",
     {{'l', OK, "abcdefghijklmnopq"}}},
    {"a four-byte character at the cut",
     "abcdefghijklmnop\xF0\x9F\x98\x80x\n",
     {{'l', OK, "abcdefghijklmnop"}}},
    {"a whole character before a stray continuation byte stays",
     "abcdefghijklmnopq\xC3\xA7\x80x\n",
     {{'l', OK, "abcdefghijklmnopq\xC3\xA7"}}},
    {"a byte that begins no UTF-8 character is cut where it falls",
     "abcdefghijklmnopq\xF8\x80\x80x\n",
     {{'l', OK, "abcdefghijklmnopq\xF8\x80"}}},
    {"stray continuation bytes are cut where they fall",
     "abcdefghijklmnopqr\x80\x80\x80\x80\x80\n",
     {{'l', OK, "abcdefghijklmnopqr\x80"}}},
    {"three stray continuation bytes before the cut stay",
     "abcdefghijklmnop\x80\x80\x80\x80x\n",
     {{'l', OK, "abcdefghijklmnop\x80\x80\x80"}}},
    {"a name line without its end", "ana", {{'l', OK, "ana"}, {'l', FIM, ""}}},
    {"a pause drops one whole line",
     "qualquer coisa\n\n7\n",
     {{'d', OK, ""}, {'d', OK, ""}, {'n', OK, "7"}, {'d', FIM, ""}}},
    {"a number read never takes the next line",
     "1\n\n2\n",
     {{'n', OK, "1"}, {'d', OK, ""}, {'n', OK, "2"}}},
    {"nothing at all", "", {{'n', FIM, ""}, {'l', FIM, ""}, {'d', FIM, ""}}},
};

// Feeds bytes into a pipe from another thread, pedaco bytes at a time, as a
// slow writer would, after waiting atraso milliseconds or until the reader
// leaves; gives the pipe's reading end.
struct Alimentador {
    int leitura = -1;
    std::thread escritor;
};

Alimentador alimenta(const std::string &bytes, std::size_t pedaco, int atraso = 0) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    Alimentador alimentador;
    alimentador.leitura = fds[0];
    alimentador.escritor = std::thread([bytes, pedaco, atraso, escrita = fds[1]] {
        pollfd saiu{escrita, 0, 0}; // POLLERR once the reading end is closed
        poll(&saiu, 1, atraso);
        for (std::size_t i = 0; i < bytes.size(); i += pedaco) {
            const std::size_t n = std::min(pedaco, bytes.size() - i);
            if (write(escrita, bytes.data() + i, n) != static_cast<ssize_t>(n)) {
                break;
            }
        }
        close(escrita);
    });
    return alimentador;
}

void confere(Entrada *entrada, const std::vector<Pedido> &pedidos) {
    for (std::size_t i = 0; i < pedidos.size(); ++i) {
        const Pedido &pedido = pedidos[i];
        SCOPED_TRACE("read " + std::to_string(i));
        std::string valor;
        Leitura leitura = FIM;
        errno = EINVAL; // stale, as an earlier failed call leaves it: no error of this read
        if (pedido.tipo == 'n') {
            std::int32_t numero = 123456;
            leitura = le_numero(entrada, &numero);
            valor = leitura == OK ? std::to_string(numero) : "";
            if (leitura != OK) {
                EXPECT_EQ(numero, 123456) << "a failed read stored a value";
            }
        } else if (pedido.tipo == 'l') {
            char nome[20] = "intocado";
            leitura = le_linha(entrada, nome, sizeof nome);
            valor = leitura == OK ? nome : "";
            if (leitura == FIM) {
                EXPECT_STREQ(nome, "intocado");
            }
        } else {
            leitura = descarta_linha(entrada);
        }
        EXPECT_EQ(leitura, pedido.esperado);
        EXPECT_EQ(valor, pedido.valor);
    }
}

TEST(Entrada, EveryCaseThroughAPipeWholeAndByteByByte) {
    for (const Caso &caso : CASOS) {
        for (const std::size_t pedaco : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
            SCOPED_TRACE(std::string(caso.nome) + ", pieces of " + std::to_string(pedaco));
            Alimentador alimentador = alimenta(caso.entrada, pedaco);
            auto entrada = bloco_sujo<Entrada>();
            inicia_entrada(entrada.get(), alimentador.leitura, nullptr);
            EXPECT_EQ(bytes_nao_usados(entrada.get()), 0U);
            confere(entrada.get(), caso.pedidos);
            close(alimentador.leitura);
            alimentador.escritor.join();
        }
    }
}

TEST(Entrada, LinesFarLongerThanTheBlockFromAFile) {
    const std::string longa(3 * TAMANHO_BLOCO_ENTRADA + 5, '7');
    const std::string nome(2 * TAMANHO_BLOCO_ENTRADA, 'x');
    const std::string bytes = longa + "\n" + std::string(TAMANHO_BLOCO_ENTRADA, ' ') + "-12" +
                              longa + "\n" + nome + "\nfim\n";
    const int arquivo = memfd_create("entrada", 0);
    ASSERT_EQ(write(arquivo, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ASSERT_EQ(lseek(arquivo, 0, SEEK_SET), 0);
    auto entrada = bloco_sujo<Entrada>();
    inicia_entrada(entrada.get(), arquivo, nullptr);
    confere(entrada.get(), {{'n', INVALIDA, ""},
                            {'n', INVALIDA, ""},
                            {'l', OK, std::string(19, 'x')},
                            {'l', OK, "fim"},
                            {'l', FIM, ""}});
    close(arquivo);
}

// A line that a failed read cut short is no answer, at every kind of read:
// the peer of a socket sends the bytes, then resets the connection.
TEST(Entrada, ALineCutShortByAFailedReadIsNoAnswer) {
    const std::vector<Caso> casos = {
        {"a number", "3", {{'n', ERRO, ""}}},
        {"a number after a whole one", "12\n-4", {{'n', OK, "12"}, {'n', ERRO, ""}}},
        {"after blank lines", "\n  \n", {{'n', ERRO, ""}}},
        {"a name", "ana\nbe", {{'l', OK, "ana"}, {'l', ERRO, ""}}},
        {"a name cut to its 19 bytes", std::string(30, 'x'), {{'l', ERRO, ""}}},
        {"a pause", "\nx", {{'d', OK, ""}, {'d', ERRO, ""}}},
        {"nothing at all", "", {{'n', ERRO, ""}, {'l', ERRO, ""}, {'d', ERRO, ""}}},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nome);
        int par[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, par), 0);
        ASSERT_EQ(write(par[1], caso.entrada.data(), caso.entrada.size()),
                  static_cast<ssize_t>(caso.entrada.size()));
        // A byte the peer never reads makes its close a reset.
        ASSERT_EQ(write(par[0], "x", 1), 1);
        close(par[1]);
        auto entrada = bloco_sujo<Entrada>();
        inicia_entrada(entrada.get(), par[0], nullptr);
        confere(entrada.get(), caso.pedidos);
        EXPECT_EQ(entrada->erro, ECONNRESET);
        close(par[0]);
    }
}

// Two answers already waiting need no flush; the read that must wait for the
// person empties the output first, so the prompts are on the screen by then.
TEST(Entrada, OutputIsEmptiedOnlyBeforeWaiting) {
    int respostas[2];
    int tela[2];
    ASSERT_EQ(pipe(respostas), 0);
    ASSERT_EQ(pipe(tela), 0);
    ASSERT_EQ(write(respostas[1], "1\n2\n", 4), 4);
    auto saida = bloco_sujo<Saida>();
    inicia_saida(saida.get(), tela[1]);
    auto entrada = bloco_sujo<Entrada>();
    inicia_entrada(entrada.get(), respostas[0], saida.get());

    std::int32_t numero = 0;
    escreve(saida.get(), "primeira? ");
    ASSERT_EQ(le_numero(entrada.get(), &numero), OK);
    escreve(saida.get(), "segunda? ");
    ASSERT_EQ(le_numero(entrada.get(), &numero), OK);
    pollfd vista{tela[0], POLLIN, 0};
    EXPECT_EQ(poll(&vista, 1, 0), 0) << "the output was emptied with answers still waiting";

    // The person answers only once both prompts show, or gives up after 10 s.
    std::string visto;
    std::thread pessoa([&] {
        const std::string esperado = "primeira? segunda? ";
        while (visto.size() < esperado.size() && poll(&vista, 1, 10'000) > 0) {
            char bloco[64];
            const ssize_t n = read(tela[0], bloco, sizeof bloco);
            if (n <= 0) {
                break;
            }
            visto.append(bloco, static_cast<std::size_t>(n));
        }
        close(respostas[1]);
    });
    EXPECT_EQ(le_numero(entrada.get(), &numero), FIM);
    pessoa.join();
    EXPECT_EQ(visto, "primeira? segunda? ");
    close(respostas[0]);
    close(tela[0]);
    close(tela[1]);
}

// Input that comes late to a non-blocking descriptor is slept on, not polled
// for in a loop: the input is read once, when the answer is there, after one
// wait (a reader that spins makes thousands of calls in those 300 ms).
TEST(Entrada, LateInputToANonBlockingDescriptorIsWaitedOnAsleep) {
    Alimentador alimentador = alimenta("5\n", 2, 300);
    ASSERT_EQ(fcntl(alimentador.leitura, F_SETFL, O_NONBLOCK), 0);
    auto entrada = bloco_sujo<Entrada>();
    inicia_entrada(entrada.get(), alimentador.leitura, nullptr);
    conta_chamadas();
    std::int32_t numero = 0;
    EXPECT_EQ(le_numero(entrada.get(), &numero), OK);
    const Chamadas chamadas = chamadas_feitas();
    EXPECT_EQ(chamadas.read, 1);
    EXPECT_LE(chamadas.poll, 2);
    EXPECT_EQ(numero, 5);
    close(alimentador.leitura);
    alimentador.escritor.join();
}

// A wait that poll cannot watch (the open-file limit below one makes it fail)
// still shows the prompt first, and then pauses at least a millisecond before
// each try instead of spinning on a non-blocking input. The person answers
// 300 ms after the prompt shows, or gives up after 2 s without it.
TEST(Entrada, AFailedPollStillShowsThePromptAndDoesNotSpin) {
    using namespace std::chrono;
    int respostas[2];
    int tela[2];
    ASSERT_EQ(pipe(respostas), 0);
    ASSERT_EQ(pipe2(tela, O_NONBLOCK), 0);
    ASSERT_EQ(fcntl(respostas[0], F_SETFL, O_NONBLOCK), 0);
    auto saida = bloco_sujo<Saida>();
    inicia_saida(saida.get(), tela[1]);
    auto entrada = bloco_sujo<Entrada>();
    inicia_entrada(entrada.get(), respostas[0], saida.get());
    escreve(saida.get(), "pergunta? ");

    // The sanitizers' checks as a thread starts and ends need a descriptor: the
    // limit is lowered only while this thread runs.
    std::atomic<int> fase = 0;
    std::thread pessoa([&] {
        fase = 1;
        char visto[16];
        ssize_t n = 0;
        for (int espera = 0; espera < 200 && (n = read(tela[0], visto, sizeof visto)) <= 0;
             ++espera) {
            std::this_thread::sleep_for(milliseconds(10));
        }
        if (n > 0 && std::string_view(visto, static_cast<std::size_t>(n)) == "pergunta? ") {
            std::this_thread::sleep_for(milliseconds(300)); // a wait that spins shows
            EXPECT_EQ(write(respostas[1], "5\n", 2), 2);
        }
        close(respostas[1]);
        while (fase != 2) {
            std::this_thread::yield();
        }
    });
    while (fase != 1) {
        std::this_thread::yield();
    }
    rlimit arquivos{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &arquivos), 0);
    const rlimit nenhum{0, arquivos.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &nenhum), 0);
    conta_chamadas();
    std::int32_t numero = 0;
    const Leitura leitura = le_numero(entrada.get(), &numero);
    const Chamadas chamadas = chamadas_feitas();
    EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &arquivos), 0);
    fase = 2;
    pessoa.join();
    EXPECT_EQ(leitura, OK) << "the prompt was not shown before the wait";
    EXPECT_EQ(numero, 5);
    EXPECT_GE(chamadas.pausas, 1);
    EXPECT_GE(chamadas.menor_pausa, milliseconds(1));
    EXPECT_LE(chamadas.read, chamadas.pausas + 1);
    close(respostas[0]);
    close(tela[0]);
    close(tela[1]);
}

// A prompt that cannot be shown is not waited on: the read that would wait
// gives erro at once, neither waiting nor reading (a reader that waited would
// get the answer 10 s later).
TEST(Entrada, APromptThatCannotBeShownIsNotWaitedOn) {
    Alimentador alimentador = alimenta("1\n", 2, 10'000);
    const int cheio = open("/dev/full", O_WRONLY);
    auto saida = bloco_sujo<Saida>();
    inicia_saida(saida.get(), cheio);
    auto entrada = bloco_sujo<Entrada>();
    inicia_entrada(entrada.get(), alimentador.leitura, saida.get());
    escreve(saida.get(), "pergunta? ");
    conta_chamadas();
    std::int32_t numero = 0;
    EXPECT_EQ(le_numero(entrada.get(), &numero), Leitura::erro);
    const Chamadas chamadas = chamadas_feitas();
    EXPECT_EQ(chamadas.esperas, 0);
    EXPECT_EQ(chamadas.read, 0);
    EXPECT_EQ(saida->erro, ENOSPC);
    close(alimentador.leitura);
    alimentador.escritor.join();
    close(cheio);
}

// Once the output cannot be written, no answer is handed out, not even one
// already read: the program stops instead of going on unseen.
TEST(Entrada, NothingIsReadOnceTheOutputHasFailed) {
    const int arquivo = memfd_create("entrada", 0);
    ASSERT_EQ(write(arquivo, "1\n2\nana\n", 8), 8);
    ASSERT_EQ(lseek(arquivo, 0, SEEK_SET), 0);
    const int cheio = open("/dev/full", O_WRONLY);
    auto saida = bloco_sujo<Saida>();
    inicia_saida(saida.get(), cheio);
    auto entrada = bloco_sujo<Entrada>();
    inicia_entrada(entrada.get(), arquivo, saida.get());
    std::int32_t numero = 0;
    ASSERT_EQ(le_numero(entrada.get(), &numero), OK);
    escreve(saida.get(), std::string(2 * TAMANHO_BLOCO_SAIDA, '?')); // fails at the first block
    EXPECT_FALSE(esvazia_saida(saida.get()));
    EXPECT_EQ(saida->erro, ENOSPC);
    EXPECT_EQ(le_numero(entrada.get(), &numero), Leitura::erro);
    char nome[20];
    EXPECT_EQ(le_linha(entrada.get(), nome, sizeof nome), Leitura::erro);
    EXPECT_EQ(descarta_linha(entrada.get()), Leitura::erro);
    EXPECT_EQ(numero, 1);
    close(cheio);
    close(arquivo);
}

// Texts of every size around the block's edge come out whole and in order.
TEST(Saida, TextsAcrossTheBlockEdgeKeepTheirOrder) {
    const int arquivo = memfd_create("saida", 0);
    ASSERT_GE(arquivo, 0);
    auto saida = bloco_sujo<Saida>();
    inicia_saida(saida.get(), arquivo);
    std::string esperado;
    for (const std::size_t tamanho : {TAMANHO_BLOCO_SAIDA - 3, std::size_t{7}, std::size_t{1},
                                      2 * TAMANHO_BLOCO_SAIDA + 5, std::size_t{0}}) {
        const std::string texto(tamanho, static_cast<char>('a' + esperado.size() % 26));
        escreve(saida.get(), texto);
        esperado += texto;
        escreve(saida.get(), std::int32_t{INT32_MIN});
        esperado += "-2147483648";
    }
    ASSERT_TRUE(esvazia_saida(saida.get()));
    std::string escrito(esperado.size() + 1, '\0');
    ASSERT_EQ(pread(arquivo, escrito.data(), escrito.size(), 0),
              static_cast<ssize_t>(esperado.size()));
    escrito.resize(esperado.size());
    EXPECT_TRUE(mesmo_texto(escrito, esperado));
    close(arquivo);
}

// A non-blocking descriptor that is full for a while is waited on, asleep, not
// taken for a failed write: every byte arrives, in order, once the reader
// drains it. The text never repeats itself, so a write that resends or skips
// bytes shows.
TEST(Saida, ANonBlockingPipeThatFillsUpIsWaitedOn) {
    int tubo[2];
    ASSERT_EQ(pipe(tubo), 0);
    fcntl(tubo[1], F_SETFL, fcntl(tubo[1], F_GETFL) | O_NONBLOCK);
    std::string texto;
    for (int i = 0; texto.size() < 3 * TAMANHO_BLOCO_SAIDA + 17; ++i) { // more than the pipe holds
        texto += std::to_string(i) + ' ';
    }
    std::string lido;
    long tomadas = 0; // the reader's reads
    std::thread leitor([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        char bloco[4096];
        // A byte more than was written is enough to tell; then the writer's
        // next write fails.
        for (ssize_t n = 0;
             lido.size() <= texto.size() && (n = read(tubo[0], bloco, sizeof bloco)) > 0;) {
            lido.append(bloco, static_cast<std::size_t>(n));
            ++tomadas;
        }
        close(tubo[0]);
    });
    auto saida = bloco_sujo<Saida>();
    inicia_saida(saida.get(), tubo[1]);
    conta_chamadas();
    escreve(saida.get(), texto); // empties the block when it fills
    EXPECT_TRUE(esvazia_saida(saida.get()));
    const Chamadas chamadas = chamadas_feitas();
    EXPECT_EQ(saida->erro, 0);
    close(tubo[1]);
    leitor.join();
    EXPECT_TRUE(mesmo_texto(lido, texto));
    // Each time the reader takes some out, the writer may write, be refused
    // and wait again: a few calls per read, where one that spins makes
    // thousands while the reader sleeps.
    EXPECT_GE(chamadas.esperas, 1);
    EXPECT_LE(chamadas.write + chamadas.poll, 4 * (tomadas + 1));
}

// Closing the console reports what failed, on standard error: an output that
// fails only when it is closed (here one never opened, with nothing written),
// and a console that could not be made.
TEST(Console, AFailedCloseOfTheOutputIsReported) {
    constexpr int NUNCA_ABERTO = 987; // nothing is read from it or written to it
    ASSERT_EQ(fcntl(NUNCA_ABERTO, F_GETFD), -1);
    auto *console = static_cast<Console *>(std::malloc(sizeof(Console)));
    ASSERT_NE(console, nullptr);
    inicia_console(console, "teste", NUNCA_ABERTO, NUNCA_ABERTO);
    int status = EXIT_SUCCESS;
    const std::string erro =
        captura(STDERR_FILENO, [&] { status = fecha_console(console, EXIT_SUCCESS); });
    EXPECT_EQ(status, EXIT_FAILURE);
    EXPECT_EQ(erro, "teste: saida nao pode ser escrita: Bad file descriptor\n");
    EXPECT_EQ(fecha_console(nullptr, EXIT_SUCCESS), EXIT_FAILURE);
}

// Closing the console hands the bytes read ahead but not used back to a file,
// for its next reader. A pipe cannot take them back, and that is no failure.
// A file whose offset another process sharing it has moved meanwhile (here to
// 0, so that moving back from there fails) is an input failure: its next
// reader would miss those bytes.
TEST(Console, TheBytesNotUsedGoBackToAFileOrItIsAnInputFailure) {
    struct Caso {
        const char *nome;
        bool tubo;         // a pipe, else a memory file
        bool movido;       // the file's offset set to 0 before the console is closed
        int status;        // fecha_console's, given EXIT_SUCCESS
        std::string erro;  // on standard error
        std::string resto; // what the next reader gets
    };
    const std::vector<Caso> casos = {
        {"a file", false, false, EXIT_SUCCESS, "", "resto\n"},
        {"a file moved by another process", false, true, EXIT_FAILURE,
         "teste: entrada nao pode ser lida: Invalid argument\n", "1\nresto\n"},
        {"a pipe", true, false, EXIT_SUCCESS, "", ""},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nome);
        int pontas[2]; // where the console reads and the test writes: the file twice
        if (caso.tubo) {
            ASSERT_EQ(pipe(pontas), 0);
        } else {
            pontas[0] = pontas[1] = memfd_create("entrada", 0);
            ASSERT_GE(pontas[0], 0);
        }
        ASSERT_EQ(write(pontas[1], "1\nresto\n", 8), 8);
        if (caso.tubo) {
            close(pontas[1]);
        } else {
            ASSERT_EQ(lseek(pontas[0], 0, SEEK_SET), 0);
        }
        auto *console = static_cast<Console *>(std::malloc(sizeof(Console)));
        ASSERT_NE(console, nullptr);
        inicia_console(console, "teste", pontas[0], open("/dev/null", O_WRONLY));
        std::int32_t numero = 0;
        ASSERT_EQ(le_numero(&console->entrada, &numero), OK); // reads all 8 bytes, uses 2
        if (caso.movido) {
            ASSERT_EQ(lseek(pontas[0], 0, SEEK_SET), 0);
        }
        int status = EXIT_FAILURE;
        const std::string erro =
            captura(STDERR_FILENO, [&] { status = fecha_console(console, EXIT_SUCCESS); });
        EXPECT_EQ(status, caso.status);
        EXPECT_EQ(erro, caso.erro);
        char resto[16];
        const ssize_t n = read(pontas[0], resto, sizeof resto);
        EXPECT_EQ(std::string(resto, static_cast<std::size_t>(std::max<ssize_t>(n, 0))),
                  caso.resto);
        close(pontas[0]);
    }
}

// A console whose block cannot be allocated says so on standard output, or on
// standard error when standard output cannot be written either.
TEST(Console, AConsoleThatCannotBeMadeNorSaidSoIsReported) {
    std::fflush(stdout);
    const int original = dup(STDOUT_FILENO);
    const int cheio = open("/dev/full", O_WRONLY);
    dup2(cheio, STDOUT_FILENO);
    Console *console = nullptr;
    const std::string erro = captura(STDERR_FILENO, [&] {
        falha_na_alocacao(1);
        console = abre_console("teste");
        falha_na_alocacao(0);
    });
    dup2(original, STDOUT_FILENO);
    close(original);
    close(cheio);
    EXPECT_EQ(console, nullptr);
    EXPECT_EQ(erro, "teste: saida nao pode ser escrita: No space left on device\n");
}

} // namespace
