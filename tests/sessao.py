"""Runs a console program as a person would: its input fed through a pipe (subprocess) or typed
at a pseudo-terminal (pexpect), its output captured byte for byte. Every session is bounded in
time, output and memory (see _prepara and _conversa), and its process group killed however it
ends. With SESSAO_ENVOLTORIO set, the program runs under that command (valgrind, say)."""
import collections
import contextlib
import ctypes
import dataclasses
import functools
import os
import resource
import select
import shlex
import signal
import socket
import subprocess
import termios
import time

import pexpect
import pytest

PASTA = os.environ.get("PASTA_BUILD") or os.path.join(os.path.dirname(__file__), "..", "build")
# The programs of the build; a *_falha one has the malloc failure switch.
PROGRAMAS = {n: os.path.join(PASTA, n) for n in ("user", "halver", "halver_alloc")}
PROGRAMAS |= {f"{n}_falha": os.path.join(PASTA, "tests", f"{n}_falha") for n in PROGRAMAS}
ENVOLTORIO = shlex.split(os.environ.get("SESSAO_ENVOLTORIO", ""))
MEMORIA = int(os.environ.get("SESSAO_MEMORIA", 256 << 20))
LIMITE, LIMITE_PROMPT = 20, 10  # s: a session's whole run; a prompt's wait after the last answer
LIMITE_SAIDA = 64 << 20  # bytes a session may write, output and error together
ATRASO, INTERVALO, BREVE = 0.3, 0.4, 10  # late answers; socket pieces; a leaving reader's bytes
# PATH with the stand-in clear, written there by the configure, first.
CAMINHO = os.path.join(PASTA, "tests", "clear-falso") + ":" + os.environ.get("PATH", "/bin")
# A failure shows its message alone: no traceback with the outputs' reprs.
_falha = functools.partial(pytest.fail, pytrace=False)
_AS = resource.getrlimit(resource.RLIMIT_AS)
resource.setrlimit(resource.RLIMIT_AS, (256 << 20, _AS[1]))  # the harness's own bound

# What the program wrote on standard output and (through a pipe) standard error, its exit status
# (128 + the signal that ended it), and what it left unread of an "arquivo" input.
Sessao = collections.namedtuple("Sessao", "saida status erro resto")


@dataclasses.dataclass
class Transcricao:
    """A scripted session: all typed, all the program must write and end with, and how it is
    connected when not through the usual pipes or terminal (a terminal cuts lines over 4 KiB)."""

    nome: str = ""
    entrada: str | list = ""  # with origem "soquete": the pieces sent
    saida: str = ""
    status: int = 0
    erro: str = ""  # all it must write on standard error (through a pipe)
    resto: str = ""  # with origem "arquivo": what it must leave unread
    # "atrasada": a pipe left non-blocking, the input written ATRASO s after espera shows;
    # "arquivo": a seekable file; "caminho": the file or folder caminho; "fechada": closed;
    # "soquete": a socket whose peer sends the pieces INTERVALO s apart, then resets it.
    origem: str = "pipe"
    # "cheio": /dev/full; "fechado": closed; "breve": a reader that leaves after BREVE bytes.
    destino: str = "pipe"
    espera: str = ""
    caminho: str = ""
    pilha: int = 0  # when not 0, the soft limit on the program's stack, in bytes

    def __str__(self):
        return self.nome


def _prepara(a, terminal):
    """In the child before the exec: a command as a shell starts one, in a process group of its
    own, dying with the test process, its address space under SESSAO_MEMORIA bytes (0: unlimited,
    for the sanitizers) and its files under 64 MiB, connected as a says."""
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG: it dies with the tests
    for sinal in signal.valid_signals() - {signal.SIGKILL, signal.SIGSTOP}:
        signal.signal(sinal, signal.SIG_DFL)
    signal.pthread_sigmask(signal.SIG_SETMASK, ())
    for limite, valor in ((resource.RLIMIT_AS, MEMORIA or _AS[0]),
                          (resource.RLIMIT_STACK, a.pilha), (resource.RLIMIT_FSIZE, LIMITE_SAIDA)):
        if valor:
            resource.setrlimit(limite, (valor, resource.getrlimit(limite)[1]))
    if a.origem == "caminho":
        os.dup2(os.open(a.caminho, os.O_RDONLY), 0)
    if a.destino == "cheio":
        os.dup2(os.open("/dev/full", os.O_WRONLY), 1)
    for fd in [0] * (a.origem == "fechada") + [1] * (a.destino == "fechado"):
        os.close(fd)
    if a.origem == "atrasada":
        os.set_blocking(0, False)
    if terminal:  # line by line, without echo, line ends written as they are (no \r added)
        m = termios.tcgetattr(0)
        m[1], m[3] = m[1] & ~termios.OPOST, m[3] & ~(termios.ECHO | termios.ECHONL) | termios.ICANON
        termios.tcsetattr(0, termios.TCSANOW, m)


def _conversa(escreve, canais, roteiro, terminou, prazo):
    """Until the program has ended and each of canais [file, text, most bytes taken] has been
    read to its end, writes each answer of roteiro [(espera, delay, answer or None: the end)] to
    escreve once espera has shown in the first canal since the last answer and the delay has
    passed. Fails at prazo, past LIMITE_SAIDA bytes or LIMITE_PROMPT s into a wait for espera;
    gives the answers left."""
    pendente, desde, quando, total, inicio, tela = b"", 0, None, 0, time.monotonic(), canais[0][1]
    while canais or not terminou():
        if (agora := time.monotonic()) >= prazo:
            _falha(f"the program did not end within {LIMITE} s of its start; killed")
        if escreve and not escreve.closed and not pendente and roteiro:
            espera, atraso, resposta = roteiro[0]
            if quando is None and (achado := tela.find(espera.encode(), desde)) >= 0:
                desde, quando = achado + len(espera.encode()), agora + atraso
            elif quando is None and agora > inicio + LIMITE_PROMPT:
                _falha(f"{espera!r} not on the screen within {LIMITE_PROMPT} s; killed. "
                       f"The screen ends {bytes(tela[-200:])!r}")
            if quando is not None and agora >= quando:
                roteiro, quando, inicio = roteiro[1:], None, agora
                pendente = (resposta or "").encode()
                if resposta is None:
                    escreve.close()
        livres = [escreve] if pendente else []
        prontos, livres, _ = select.select([c[0] for c in canais], livres, [], 0.01)
        try:
            pendente = pendente[escreve.write(pendente) or 0:] if livres else pendente
        except OSError:  # the program reads no more
            pendente, roteiro = b"", escreve.close() or []
        for canal in [c for c in canais if c[0] in prontos]:
            try:
                bloco = canal[0].read(1 << 16)
            except OSError:  # the end of a terminal reads as EIO
                bloco = b""
            canal[1] += bloco
            if (total := total + len(bloco)) > LIMITE_SAIDA:
                _falha(f"the program wrote more than {LIMITE_SAIDA >> 20} MiB; killed")
            if not bloco or len(canal[1]) >= canal[2]:
                del canal[1][canal[2]:]
                canal[0].close()
                canais.remove(canal)
    return roteiro


def executa(programa, entrada, modo="pipe", a=Transcricao(), ambiente=()):
    """Runs programa through a pipe, connected as a says, or at a terminal; PATH has the stand-in
    clear first and ambiente adds to the environment. Types entrada, then ends the input (Ctrl-D
    at a terminal, a second after a line without its end); or, at a terminal, a dialogue
    [(prompt, answer)], each answer typed only once its prompt has shown since the last one."""
    comando, ambiente = ENVOLTORIO + [programa], {**os.environ, "PATH": CAMINHO, **dict(ambiente)}
    roteiro = [(a.espera, ATRASO * (a.origem == "atrasada"), entrada), ("", 0, None)]
    if modo == "terminal" and isinstance(entrada, list):
        roteiro = [(espera, 0, resposta) for espera, resposta in entrada]
    elif modo == "terminal":
        roteiro = [("", 0, entrada + "\x04" * (1 if entrada.endswith("\n") or not entrada else 2))]
    elif a.origem == "soquete":
        roteiro = [("", INTERVALO, pedaco) for pedaco in entrada] + [("", 0, None)]
    saida, erro, prazo, arquivo = bytearray(), bytearray(), time.monotonic() + LIMITE, None
    prepara, entra, escreve = lambda: _prepara(a, modo == "terminal"), subprocess.PIPE, None
    with contextlib.ExitStack() as fim:
        if modo == "terminal":
            filho = pexpect.spawn(comando[0], comando[1:], env=ambiente, preexec_fn=prepara)
            fim.callback(filho.close)
            filho.ptyproc.delayafterclose = 0  # the program has been reaped by then
            escreve, tela = (open(filho.child_fd, m, 0, closefd=False) for m in ("wb", "rb"))
            canais, terminou = [[tela, saida, 1 << 62]], lambda: not filho.isalive()
        else:
            if a.origem == "soquete":
                nosso, entra = map(fim.enter_context, socket.socketpair())
                entra.send(b"!")  # unread at the harness's end: closing that end resets the link
                escreve = fim.enter_context(open(nosso.detach(), "wb", 0))
            elif a.origem == "arquivo":  # its offset is shared, as by two commands of one shell
                entra = arquivo = fim.enter_context(open(os.memfd_create("entrada"), "wb+", 0))
                arquivo.write(entrada.encode())
                arquivo.seek(0)
            filho = fim.enter_context(subprocess.Popen(
                comando, 0, stdin=entra, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                env=ambiente, process_group=0, preexec_fn=prepara))
            escreve = escreve or filho.stdin
            canais = [[filho.stdout, saida, BREVE if a.destino == "breve" else 1 << 62],
                      [filho.stderr, erro, 1 << 62]]
            terminou = lambda: filho.poll() is not None  # noqa: E731
        if escreve:
            os.set_blocking(escreve.fileno(), False)
        try:
            roteiro = _conversa(escreve, canais, roteiro, terminou, prazo)
        finally:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(filho.pid, signal.SIGKILL)  # whatever is left of its group
            while not terminou():  # which reaps it
                time.sleep(0.001)
        resto = arquivo.read() if arquivo else b""
    status = filho.returncode if modo == "pipe" else filho.exitstatus
    status = 128 + filho.signalstatus if status is None else 128 - status if status < 0 else status
    if roteiro and roteiro[0][0]:
        _falha(f"the program ended with status {status} before {roteiro[0][0]!r} showed")
    return Sessao(bytes(saida), status, bytes(erro), resto)


def confere(rotulo, obtido, esperado):
    """Fails when the bytes differ, with both lengths and a short excerpt of each around the
    first difference, never a diff that grows with the outputs."""
    if obtido == (esperado := esperado.encode() if isinstance(esperado, str) else esperado):
        return
    n = min(len(obtido), len(esperado))
    i = next((k for k in range(0, n, 4096) if obtido[k:k + 4096] != esperado[k:k + 4096]), n)
    i = next((k for k in range(i, min(i + 4096, n)) if obtido[k] != esperado[k]), n)
    _falha(f"{rotulo}: byte {i} differs (got {len(obtido)} bytes, expected {len(esperado)})"
           f"\n     got: {obtido[max(0, i - 40):i + 40]!r}"
           f"\nexpected: {esperado[max(0, i - 40):i + 40]!r}")


def confere_transcricao(programa, t):
    """Runs t through a pipe and, when its arrangement and lines allow, at a terminal; checks each
    run. Under SESSAO_ENVOLTORIO, whose command (valgrind) gives the program a stack of its own
    and takes a closed descriptor for its own files, a stack limit or a closed one is skipped."""
    if ENVOLTORIO and (t.pilha or "fechad" in t.origem + t.destino):
        pytest.skip(f"{t.nome}: {'a stack limit' if t.pilha else 'a closed descriptor'} does "
                    "not reach a program run under SESSAO_ENVOLTORIO")
    no_terminal = t.origem == t.destino == "pipe" and max(map(len, t.entrada.split("\n"))) < 4096
    for modo in ["pipe"] + ["terminal"] * no_terminal:
        sessao = executa(programa, t.entrada, modo, t)
        confere(f"{t.nome} ({modo}): output", sessao.saida, t.saida)
        if sessao.status != t.status:
            _falha(f"{t.nome} ({modo}): status {sessao.status}, expected {t.status}")
        confere(f"{t.nome}: standard error", sessao.erro, t.erro if modo == "pipe" else "")
        confere(f"{t.nome}: what is left in the file", sessao.resto, t.resto)


def com_cada_alocacao_falhando(programa, entrada):
    """Runs programa (with the malloc failure switch) through a pipe once with none failing, which
    counts the allocations of a run ending through exit, then with each failing: [n], the n-th."""
    conta = {"FALHA_NA_ALOCACAO": "0", "CONTA_ALOCACOES_EM": "/dev/stderr"}  # no file anywhere
    sessoes = [executa(programa, entrada, ambiente=conta)]
    return sessoes + [executa(programa, entrada, ambiente={"FALHA_NA_ALOCACAO": str(n)})
                      for n in range(1, int(sessoes[0].erro or 0) + 1)]
