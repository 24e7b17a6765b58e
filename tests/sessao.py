"""Runs a console program at a pseudo-terminal (pexpect) or through pipes and other connections
(subprocess), bounded in time, output and memory, under SESSAO_ENVOLTORIO's command if set."""
import collections
import contextlib
import ctypes
import dataclasses
import functools
import io
import os
import re
import resource
import shlex
import signal
import socket
import subprocess
import tempfile
import termios
import time

import pexpect
import pytest

PASTA = os.environ.get("PASTA_BUILD") or os.path.join(os.path.dirname(__file__), "..", "build")
# The programs of the build; a *_falha one has the malloc failure switch.
PROGRAMAS = {n: os.path.join(PASTA, n) for n in ("user", "halver", "halver_alloc")}
PROGRAMAS |= {f"{n}_falha": os.path.join(PASTA, "tests", f"{n}_falha") for n in PROGRAMAS}
# The command each program runs under (valgrind, an emulator), written as a shell would split it.
ENVOLTORIO = shlex.split(os.environ.get("SESSAO_ENVOLTORIO", ""))
VALGRIND = os.path.basename(next(iter(ENVOLTORIO), "")) == "valgrind"
MEMORIA = int(os.environ.get("SESSAO_MEMORIA", 256 << 20))  # each program's address space
LENTIDAO = float(os.environ.get("SESSAO_LENTIDAO", 1))  # the deadlines' factor, for an emulator
# s: a session's whole run; a prompt's wait after the last answer
LIMITE, LIMITE_PROMPT = 20 * LENTIDAO, 10 * LENTIDAO
LIMITE_SAIDA = 64 << 20  # bytes: each file the program writes, and all a terminal shows
ATRASO, INTERVALO, BREVE = 0.3, 0.4, 10  # late input; socket pieces; a leaving reader's bytes
# Keys as a new terminal takes them (sendeof and sendintr would copy the tests' own terminal's):
# the end of input at a line's start, SIGINT, SIGQUIT.
CTRL_D, CTRL_C, CTRL_BARRA = "\x04", "\x03", "\x1c"
FECHADO = "closed"  # as entra or sai: closed before the exec, each read or write fails (EBADF)
# The stand-in clear, written by the configure, first on PATH; no heap block handed out zeroed;
# under AddressSanitizer, however it was built, a block too large to be had is null, and so is any
# block over 256 MiB (the ordinary build's bound), on any machine, whatever memory it promises.
CAMINHO = os.path.join(PASTA, "tests", "clear-falso") + ":" + os.environ.get("PATH", "/bin")
AMBIENTE = {**os.environ, "PATH": CAMINHO, "MALLOC_PERTURB_": "165",
            "ASAN_OPTIONS": "allocator_may_return_null=1:max_allocation_size_mb=256:"
                            + os.environ.get("ASAN_OPTIONS", "")}
# What the program runs with writes to standard error of its own, never the program itself, left
# off what a session shows: AddressSanitizer's line on a block it refuses, and qemu-user's on a
# death by a signal whose default writes a core file, even when none is written.
_DE_FORA = re.compile(rb"==\d+==WARNING: AddressSanitizer failed to allocate 0x[0-9a-f]+ bytes\n"
                      rb"|qemu: uncaught target signal \d+ \([^)\n]*\) - core dumped\n")
GRANDE = f"the program wrote {LIMITE_SAIDA >> 20} MiB; killed"
_falha = functools.partial(pytest.fail, pytrace=False)  # the message alone, no traceback
_AS = resource.getrlimit(resource.RLIMIT_AS)
resource.setrlimit(resource.RLIMIT_AS, (256 << 20, _AS[1]))  # the harness's own bound

# Standard output (at a terminal, all the screen showed), the exit status (-n when signal n ended
# the program, as subprocess gives it: a shell's 128 + n would not tell that from exit(128 + n))
# and, through pipes only, standard error and what was left unread of an arquivo input.
Sessao = collections.namedtuple("Sessao", "saida status erro resto", defaults=(None, None))


@dataclasses.dataclass
class Transcricao:
    """A scripted session: all typed, all the program must write, its status and error."""
    nome: str
    entrada: str | list  # with soquete, the pieces sent
    saida: str
    status: int = 0
    erro: str = ""
    resto: str = ""  # with arquivo, what it must leave unread
    # Pipes when None, else never at a terminal: FECHADO, a path (a folder fails each read,
    # /dev/full each write) or an arrangement below.
    entra: object = None
    sai: object = None
    pilha: int = 0  # when not 0, the soft limit on the program's stack, in bytes

    def __str__(self):
        return self.nome


def _prepara(pilha, fecha=(), terminal=False):
    """In the child before the exec: dying with the test process, signals at their defaults, no
    core file, memory under MEMORIA (0: unlimited), files under LIMITE_SAIDA, stack under pilha."""
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    for sinal in signal.valid_signals() - {signal.SIGKILL, signal.SIGSTOP}:
        signal.signal(sinal, signal.SIG_DFL)
    signal.pthread_sigmask(signal.SIG_SETMASK, ())
    pilha = pilha or resource.getrlimit(resource.RLIMIT_STACK)[0]
    for limite, valor in ((resource.RLIMIT_AS, MEMORIA or _AS[0]), (resource.RLIMIT_CORE, 0),
                          (resource.RLIMIT_FSIZE, LIMITE_SAIDA), (resource.RLIMIT_STACK, pilha)):
        resource.setrlimit(limite, (valor, resource.getrlimit(limite)[1]))
    for fd in fecha:
        os.close(fd)
    if terminal:  # line ends written as they are, no \r added
        modos = termios.tcgetattr(0)
        modos[1] &= ~termios.OPOST
        termios.tcsetattr(0, termios.TCSANOW, modos)


def _encerra(filho):
    """Kills whatever is left of the session's process group, then reaps the program."""
    with contextlib.suppress(ProcessLookupError):
        os.killpg(filho.pid, signal.SIGKILL)
    filho.wait()


def _expirou(o_que, segundos):
    return f"{o_que} not seen within {segundos:g} s; killed"


# Arrangements: each takes the session's ExitStack and what the stream carries (the input, or the
# file that keeps the output), and gives what the program gets and what feeds it once it runs (a
# function of the output's file, or None).
def atrasada(espera):
    """A non-blocking pipe, the input written ATRASO s after the program has written espera: an
    answer still to come is to be waited for, not taken for the end."""
    def liga(fim, entrada):
        le, escreve = os.pipe()
        os.set_blocking(le, False)
        fim.callback(os.close, le)
        pipe = fim.enter_context(open(escreve, "wb"))

        def alimenta(saida):
            prazo = time.monotonic() + LIMITE_PROMPT
            while espera.encode() not in os.pread(saida.fileno(), LIMITE_SAIDA, 0):
                if time.monotonic() > prazo:
                    _falha(_expirou(repr(espera), LIMITE_PROMPT))
                time.sleep(0.01)
            time.sleep(ATRASO)
            with contextlib.suppress(BrokenPipeError), pipe:
                pipe.write(entrada.encode())
        return le, alimenta
    return liga


def soquete(fim, pedacos):
    """A socket whose peer sends the pieces INTERVALO s apart, then resets the connection."""
    nosso, dele = map(fim.enter_context, socket.socketpair())
    dele.send(b"!")  # left unread, it makes our close a reset

    def alimenta(saida):
        with contextlib.suppress(OSError), nosso:  # the program may read no more
            for pedaco in pedacos:
                time.sleep(INTERVALO)
                nosso.sendall(pedaco.encode())
    return dele, alimenta


def arquivo(fim, entrada):
    """A seekable file, its offset shared with the harness as between two commands of a shell."""
    memoria = fim.enter_context(open(os.memfd_create("entrada"), "wb+", 0))
    memoria.write(entrada.encode())
    memoria.seek(0)
    return memoria, None


DISTANTE = 9 << 29  # bytes: where arquivo_distante's input begins, 4.5 GiB in


def arquivo_distante(fim, entrada):
    """arquivo with the input 4.5 GiB in, after a hole that takes no memory: offsets past 32 bits.
    Skipped when the harness itself may not make so large a file (prlimit --fsize)."""
    memoria, _ = arquivo(fim, "")
    try:
        memoria.seek(DISTANTE)
        memoria.write(entrada.encode())
    except OSError as erro:  # EFBIG: Python ignores SIGXFSZ
        pytest.skip(f"a file of {DISTANTE >> 20} MiB cannot be made here: {erro.strerror}")
    memoria.seek(DISTANTE)
    return memoria, None


ARQUIVOS = (arquivo, arquivo_distante)  # the arrangements whose rest is read after the session


def breve(fim, saida):
    """A pipe to head, which keeps the first BREVE bytes in the file, then leaves."""
    head = subprocess.Popen(["head", "-c", str(BREVE)], stdin=subprocess.PIPE, stdout=saida)
    return fim.enter_context(head).stdin, None  # closed, then head waited for, at the end


def _liga(fim, ligacao, dados, modo, comum):
    """What the program gets for a stream connected as ligacao (comum when None), what feeds it."""
    if ligacao is None:
        return comum, None
    if ligacao == FECHADO:
        return subprocess.DEVNULL, None  # _prepara closes it
    if isinstance(ligacao, str):
        fd = os.open(ligacao, modo)
        fim.callback(os.close, fd)
        return fd, None
    return ligacao(fim, dados)


def executa(programa, entrada="", entra=None, sai=None, pilha=0, ambiente=()):
    """Runs programa with entrada written at once to a pipe, or as entra and sai connect it."""
    fecha = [fd for fd, ligacao in ((0, entra), (1, sai)) if ligacao == FECHADO]
    prazo = time.monotonic() + LIMITE
    with tempfile.TemporaryFile() as saida, tempfile.TemporaryFile() as erro:
        with contextlib.ExitStack() as fim:
            stdin, alimenta = _liga(fim, entra, entrada, os.O_RDONLY, subprocess.PIPE)
            stdout, _ = _liga(fim, sai, saida, os.O_WRONLY, saida)
            filho = fim.enter_context(subprocess.Popen(
                ENVOLTORIO + [programa], stdin=stdin, stdout=stdout, stderr=erro,
                env=AMBIENTE | dict(ambiente), process_group=0,
                preexec_fn=lambda: _prepara(pilha, fecha)))
            try:
                if alimenta:
                    alimenta(saida)
                with contextlib.suppress(subprocess.TimeoutExpired):
                    filho.communicate(None if entra else entrada.encode(), prazo - time.monotonic())
                if filho.returncode is None:
                    _falha(_expirou("the program's end", LIMITE))
            finally:
                _encerra(filho)
            if filho.returncode == -signal.SIGXFSZ:
                _falha(GRANDE)
            # A byte more than the input at most: an offset moved into a hole reads no gigabytes.
            resto = stdin.read(len(entrada.encode()) + 1) if entra in ARQUIVOS else None
        saida.seek(0)
        erro.seek(0)
        escrito = _DE_FORA.sub(b"", erro.read())
        return Sessao(saida.read(), filho.returncode, escrito, resto)


class _Tela(io.BytesIO):
    """All a terminal showed, failing the test past LIMITE_SAIDA bytes."""

    def write(self, bloco):
        if self.tell() + len(bloco) > LIMITE_SAIDA:
            _falha(GRANDE)
        return super().write(bloco)


def no_terminal(programa, trocas, pilha=0, ambiente=()):
    """Runs programa at a pseudo-terminal without echo, its line ends written as they are: types
    each answer of trocas [(prompt, answer)] once its prompt has shown, then reads to the end."""
    prazo, comando = time.monotonic() + LIMITE, ENVOLTORIO + [programa]
    # One line, quoted: pexpect splits a command given without its arguments, at its spaces too.
    filho = pexpect.spawn(shlex.join(comando), env=AMBIENTE | dict(ambiente), echo=False,
                          maxread=1 << 16, preexec_fn=lambda: _prepara(pilha, terminal=True))
    filho.logfile_read, filho.delaybeforesend, filho.delayafterread = _Tela(), None, None
    filho.ptyproc.delayafterclose = 0  # the program has been reaped by then
    try:
        for prompt, resposta in trocas:
            _espera(filho, prompt, prazo)
            filho.send(resposta)
        _espera(filho, pexpect.EOF, prazo)
    finally:
        _encerra(filho)
        filho.close()
    tela = _DE_FORA.sub(b"", filho.logfile_read.getvalue())
    return Sessao(tela, os.waitstatus_to_exitcode(filho.status))


def _espera(filho, prompt, prazo):
    """Reads the screen until prompt, or its end (pexpect.EOF), shows, or fails."""
    limite = min(LIMITE_PROMPT, prazo - time.monotonic())
    final = prompt is pexpect.EOF
    try:  # awaiting the end only, a window of a byte keeps a single copy of the screen
        filho.expect_exact(prompt if final else prompt.encode(), max(limite, 0),
                           1 if final else None)
        return
    except pexpect.TIMEOUT:
        o_que = "the program's end" if final else repr(prompt)
        motivo = _expirou(o_que, LIMITE_PROMPT if limite == LIMITE_PROMPT else LIMITE)
    except pexpect.EOF:
        _encerra(filho)
        estado = os.waitstatus_to_exitcode(filho.status)
        motivo = f"the program ended with status {estado} before {prompt!r} showed"
    _falha(f"{motivo}. The screen ends {filho.logfile_read.getvalue()[-200:]!r}")


def confere(rotulo, obtido, esperado):
    """Fails showing both lengths and 40 bytes either side of the first differing byte."""
    esperado = esperado.encode()
    if obtido != esperado:
        n = min(len(obtido), len(esperado))
        i = next((k for k in range(n) if obtido[k] != esperado[k]), n)
        _falha(f"{rotulo}: byte {i} differs (got {len(obtido)} bytes, expected {len(esperado)})"
               f"\n     got: {obtido[max(0, i - 40):i + 40]!r}"
               f"\nexpected: {esperado[max(0, i - 40):i + 40]!r}")


def confere_transcricao(programa, t):
    """Runs t through pipes and, if ordinary and no line is cut by a terminal (4 KiB), at one.
    Under SESSAO_ENVOLTORIO the program runs on a stack of the command's own (valgrind's, or an
    emulator's, 8 MiB at least), and valgrind takes a closed descriptor for its log: there a stack
    limit, and under valgrind a closed descriptor, is skipped."""
    if ENVOLTORIO and t.pilha:
        pytest.skip(f"{t.nome}: a stack limit does not reach a program run under "
                    f"{os.path.basename(ENVOLTORIO[0])}")
    if VALGRIND and FECHADO in (t.entra, t.sai):
        pytest.skip(f"{t.nome}: a closed descriptor does not reach a program run under valgrind")
    sessoes = {"pipe": executa(programa, t.entrada, t.entra, t.sai, t.pilha)}
    if not (t.entra or t.sai or t.erro or max(map(len, t.entrada.split("\n"))) >= 4096):
        fins = 1 if t.entrada.endswith("\n") or not t.entrada else 2  # the first ends a last line
        sessoes["terminal"] = no_terminal(programa, [("", t.entrada + CTRL_D * fins)], t.pilha)
    for modo, sessao in sessoes.items():
        confere(f"{t.nome} ({modo}): output", sessao.saida, t.saida)
        if sessao.status != t.status:
            _falha(f"{t.nome} ({modo}): status {sessao.status}, expected {t.status}")
    confere(f"{t.nome}: standard error", sessoes["pipe"].erro, t.erro)
    if t.entra in ARQUIVOS:
        confere(f"{t.nome}: what is left in the file", sessoes["pipe"].resto, t.resto)


def com_cada_alocacao_falhando(programa, entrada):
    """Runs programa (with the malloc failure switch) through a pipe once with none failing, which
    counts the allocations of a run ending through exit, then with each failing: [n], the n-th."""
    conta = {"FALHA_NA_ALOCACAO": "0", "CONTA_ALOCACOES_EM": "/dev/stderr"}  # no file anywhere
    sessoes = [executa(programa, entrada, ambiente=conta)]
    return sessoes + [executa(programa, entrada, ambiente={"FALHA_NA_ALOCACAO": str(n)})
                      for n in range(1, int(sessoes[0].erro or 0) + 1)]
