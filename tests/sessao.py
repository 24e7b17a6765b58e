"""Runs a console program as a person would: its input fed through a pipe (subprocess) or typed
at a pseudo-terminal (pexpect), its output captured byte for byte.

Each program runs in a process group of its own, every signal at its default, its address space
under SESSAO_MEMORIA bytes (0: no limit, for the sanitizers), each file it writes under 64 MiB;
it dies with the test process. A session still running 20 s after its start, or writing over
64 MiB, fails its test; however it ends, its group is killed. With SESSAO_ENVOLTORIO set, the
program runs under that command (valgrind, say).
"""
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
ENVOLTORIO = shlex.split(os.environ.get("SESSAO_ENVOLTORIO", ""))
MEMORIA = int(os.environ.get("SESSAO_MEMORIA", 256 << 20))
LIMITE, LIMITE_PROMPT = 20, 10  # s: a session's whole run; a prompt's wait after the last answer
LIMITE_SAIDA = 64 << 20  # bytes a session may write, output and error together
ATRASO, INTERVALO, BREVE = 0.3, 0.4, 10  # late answers; socket pieces; a leaving reader's bytes
MARCA_CLEAR = "<CLEAR>"  # what the stand-in clear, written by the configure, writes
CAMINHO = os.path.join(PASTA, "tests", "clear-falso") + ":" + os.environ.get("PATH", "/bin")
_AS = resource.getrlimit(resource.RLIMIT_AS)
resource.setrlimit(resource.RLIMIT_AS, (256 << 20, _AS[1]))  # the harness's own bound


@dataclasses.dataclass
class Transcricao:
    """A scripted session: everything typed, all the program must write and end with, and how
    it is connected when not through the usual pipes (or terminal)."""

    nome: str = ""
    entrada: str | list = ""  # with origem "soquete": the pieces sent
    saida: str = ""
    status: int = 0
    erro: str = ""  # all it must write on standard error (through a pipe)
    resto: str = ""  # with origem "arquivo": what it must leave unread
    terminal: bool = True  # False where a terminal would cut a line longer than 4 KiB
    # "atrasada": a pipe left non-blocking, the input written ATRASO s after espera shows;
    # "arquivo": a seekable file holding the input; "caminho": the file or folder caminho;
    # "fechada": descriptor 0 closed; "soquete": a socket whose peer sends the pieces
    # INTERVALO s apart, then resets it, so that the next read fails with ECONNRESET.
    origem: str = "pipe"
    # "cheio": /dev/full; "fechado": descriptor 1 closed; "breve": a pipe whose reader takes
    # BREVE bytes and leaves, as `| head -c 10`.
    destino: str = "pipe"
    espera: str = ""
    caminho: str = ""
    pilha: int = 0  # when not 0, the soft limit on the program's stack, in bytes

    def __str__(self):
        return self.nome


@dataclasses.dataclass
class Sessao:
    saida: bytes  # everything the program wrote, in order
    status: int  # its exit status, or 128 + the signal that ended it
    erro: bytes  # what it wrote on standard error (through a pipe only)
    resto: bytes  # with origem "arquivo": what the next reader of the file gets


def programa(nome):
    """The path of a program of the build; a *_falha one has the malloc failure switch."""
    return os.path.join(PASTA, "tests" if nome.endswith("_falha") else "", nome)


def _prepara(pai, pilha, fechar, terminal):
    """In the child before the exec: a command as a shell starts one, within the limits."""
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG: it dies with the tests
    if os.getppid() != pai:
        os._exit(127)
    for sinal in signal.valid_signals() - {signal.SIGKILL, signal.SIGSTOP}:
        signal.signal(sinal, signal.SIG_DFL)
    signal.pthread_sigmask(signal.SIG_SETMASK, ())
    for limite, valor in ((resource.RLIMIT_AS, MEMORIA or _AS[0]), (resource.RLIMIT_STACK, pilha),
                          (resource.RLIMIT_FSIZE, LIMITE_SAIDA)):
        if valor:
            resource.setrlimit(limite, (valor, resource.getrlimit(limite)[1]))
    for fd in fechar:
        os.close(fd)
    if terminal:  # line by line, without echo, line ends written as they are (no \r added)
        modo = termios.tcgetattr(0)
        modo[1] &= ~termios.OPOST
        modo[3] = (modo[3] | termios.ICANON) & ~(termios.ECHO | termios.ECHONL)
        termios.tcsetattr(0, termios.TCSANOW, modo)


def _recolhe(pid, terminou, prazo):
    """Waits until prazo for the program to end (terminou() reaps it and says so), then kills
    whatever is left of its process group. False when it had not ended by then."""
    while not terminou() and time.monotonic() < prazo:
        time.sleep(0.001)
    a_tempo = terminou()
    with contextlib.suppress(ProcessLookupError):
        os.killpg(pid, signal.SIGKILL)
    while not terminou():
        time.sleep(0.001)
    return a_tempo


def _conversa(escreve, canais, roteiro, prazo):
    """Writes each answer of roteiro [(espera, delay, answer)] to escreve once espera has shown
    in the first canal since the last answer and the delay has passed (None: the input's end),
    while reading each canal [file, text, bytes it takes] until it ends. Gives the answers left."""
    pendente, desde, visto, total, tela, inicio = b"", 0, None, 0, canais[0][1], time.monotonic()
    while canais:
        agora = time.monotonic()
        if agora >= prazo:
            pytest.fail(f"the program did not end within {LIMITE} s of its start; killed")
        if not escreve.closed and not pendente and roteiro:
            espera, atraso, resposta = roteiro[0]
            if visto is None and (achado := tela.find(espera.encode(), desde)) >= 0:
                desde, visto = achado + len(espera.encode()), agora
            elif visto is None and agora > inicio + LIMITE_PROMPT:
                pytest.fail(f"{espera!r} was not on the screen within {LIMITE_PROMPT} s; killed. "
                            f"The screen since the last answer ends {bytes(tela[desde:][-200:])!r}")
            if visto is not None and agora >= visto + atraso:
                if resposta is None:
                    escreve.close()
                roteiro, visto, inicio, pendente = roteiro[1:], None, agora, (resposta or "").encode()
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
            total += len(bloco)
            if total > LIMITE_SAIDA:
                pytest.fail(f"the program wrote more than {LIMITE_SAIDA >> 20} MiB; killed")
            if not bloco or len(canal[1]) >= canal[2]:
                del canal[1][canal[2]:]
                canal[0].close()
                canais.remove(canal)
    return roteiro


def _sessao(programa, ambiente, a, roteiro, terminal):
    """Runs programa connected as a says, or with all three descriptors a pseudo-terminal,
    typing roteiro (see _conversa); gives the Sessao and the answers left untyped."""
    comando, ambiente = ENVOLTORIO + [programa], {**os.environ, "PATH": CAMINHO, **dict(ambiente)}
    saida, erro, arquivo, fechar, prazo = bytearray(), bytearray(), None, [], time.monotonic() + LIMITE
    prepara = functools.partial(_prepara, os.getpid(), a.pilha, fechar, terminal)
    with contextlib.ExitStack() as fim:
        def abre(fd, modo="rb"):  # one of the harness's descriptors, closed at the end at the latest
            return fim.enter_context(open(fd, modo, buffering=0))

        if terminal:
            filho = pexpect.spawn(comando[0], comando[1:], env=ambiente, preexec_fn=prepara)
            fim.callback(filho.close)
            filho.ptyproc.delayafterclose = 0  # the program has been reaped by then
            escreve, tela = abre(os.dup(filho.child_fd), "wb"), abre(os.dup(filho.child_fd))
            canais, terminou = [[tela, saida, 1 << 62]], lambda: not filho.isalive()
        else:
            canos = [(abre(le), abre(es, "wb")) for le, es in (os.pipe() for _ in range(3))]
            (entra, escreve), (le_saida, sai), (le_erro, sai_erro) = canos
            dele = [entra, sai, sai_erro]  # the child's ends, closed here once it has them
            os.set_blocking(entra.fileno(), a.origem != "atrasada")
            if a.origem == "soquete":
                nosso, deles = socket.socketpair()
                deles.send(b"!")  # unread at the harness's end: closing that end resets the link
                entra, escreve = abre(deles.detach()), abre(nosso.detach(), "wb")
                dele.append(entra)
            elif a.origem == "arquivo":  # its offset is shared, as by two commands of one shell
                entra = arquivo = abre(os.memfd_create("entrada"), "wb+")
                arquivo.write(a.entrada.encode())
                arquivo.seek(0)
            elif a.origem == "caminho":  # kept to the end: a folder cannot be a Python file
                fim.callback(os.close, entra := os.open(a.caminho, os.O_RDONLY))
            if a.destino == "cheio":
                dele.append(sai := abre(os.open("/dev/full", os.O_WRONLY), "wb"))
            fechar += [0] * (a.origem == "fechada") + [1] * (a.destino == "fechado")
            filho = subprocess.Popen(comando, stdin=entra, stdout=sai, stderr=sai_erro,
                                     env=ambiente, process_group=0, preexec_fn=prepara)
            for ponta in dele:
                ponta.close()
            canais = [[le_saida, saida, BREVE if a.destino == "breve" else 1 << 62],
                      [le_erro, erro, 1 << 62]]
            terminou = lambda: filho.poll() is not None  # noqa: E731
        os.set_blocking(escreve.fileno(), False)
        try:
            roteiro = _conversa(escreve, canais, roteiro, prazo)
            if not _recolhe(filho.pid, terminou, prazo):
                pytest.fail(f"the program closed its output but ran on past {LIMITE} s; killed")
        finally:
            _recolhe(filho.pid, terminou, 0)
        resto = arquivo.read() if arquivo else b""
    status = filho.exitstatus if terminal else filho.returncode
    status = 128 + filho.signalstatus if terminal and status is None else status
    return Sessao(bytes(saida), 128 - status if status < 0 else status, bytes(erro), resto), roteiro


def executa(programa, entrada, modo="pipe", arranjo=Transcricao(), ambiente=()):
    """Runs programa with entrada typed through a pipe or at a terminal, then the end of input
    (Ctrl-D at a line's start; a second after a line without its end), connected as arranjo
    says; PATH has the stand-in clear first, and ambiente adds to the environment."""
    if modo == "terminal":
        roteiro = [("", 0, entrada + ("\x04" if entrada.endswith("\n") or not entrada else "\x04\x04"))]
    elif arranjo.origem == "soquete":
        roteiro = [("", INTERVALO, p) for p in entrada] + [("", INTERVALO, None)]
    else:
        roteiro = [(arranjo.espera, ATRASO * (arranjo.origem == "atrasada"), entrada), ("", 0, None)]
    return _sessao(programa, ambiente, arranjo, roteiro, modo == "terminal")[0]


def dialoga(programa, trocas, ambiente=()):
    """Runs programa at a terminal as a person does: types each answer of trocas [(prompt,
    answer)] only once its prompt has shown since the last answer, then awaits the end."""
    sessao, resto = _sessao(programa, ambiente, Transcricao(), [(e, 0, r) for e, r in trocas], True)
    if resto:
        pytest.fail(f"the program ended with status {sessao.status} before {resto[0][0]!r} showed")
    return sessao


def confere(rotulo, obtido, esperado):
    """Fails when the bytes differ, with both lengths and a short excerpt of each around the
    first difference, never a diff that grows with the outputs."""
    esperado = esperado.encode() if isinstance(esperado, str) else esperado
    if obtido != esperado:
        n = min(len(obtido), len(esperado))
        i = next((k for k in range(0, n, 4096) if obtido[k:k + 4096] != esperado[k:k + 4096]), n)
        i = next((k for k in range(i, min(i + 4096, n)) if obtido[k] != esperado[k]), n)
        pytest.fail(f"{rotulo}: byte {i} differs (got {len(obtido)} bytes, expected "
                    f"{len(esperado)})\n     got: {obtido[max(0, i - 40):i + 40]!r}\n"
                    f"expected: {esperado[max(0, i - 40):i + 40]!r}", pytrace=False)


def confere_transcricao(programa, t):
    """Runs t through a pipe and, when its arrangement and lines allow, at a terminal, and checks
    each run. Under SESSAO_ENVOLTORIO a stack limit or a closed descriptor is passed over: the
    command around the program gives it a stack of its own, and its own files (valgrind's log)
    take the lowest free descriptor, the closed one."""
    porque = ("a stack limit" if t.pilha else "a closed input" if t.origem == "fechada" else
              "a closed output" if t.destino == "fechado" else None)
    if ENVOLTORIO and porque:
        pytest.skip(f"{porque} does not reach a program run under SESSAO_ENVOLTORIO")
    for modo in ["pipe"] + ["terminal"] * (t.terminal and t.origem == t.destino == "pipe"):
        sessao = executa(programa, t.entrada, modo, t)
        confere(f"{t.nome} ({modo}): output", sessao.saida, t.saida)
        assert sessao.status == t.status, f"{t.nome} ({modo}): status"
        if modo == "pipe":
            confere(f"{t.nome}: standard error", sessao.erro, t.erro)
            confere(f"{t.nome}: what is left in the file", sessao.resto, t.resto)


def com_cada_alocacao_falhando(programa, entrada):
    """Runs programa, built with the malloc failure switch, through a pipe: once with none failing,
    which counts the run's allocations, then with each failing in turn ([n]: the n-th fails). A
    first run that does not end through exit counts none."""
    conta = {"FALHA_NA_ALOCACAO": "0", "CONTA_ALOCACOES_EM": "/dev/stderr"}  # no file anywhere
    sessoes = [executa(programa, entrada, ambiente=conta)]
    return sessoes + [executa(programa, entrada, ambiente={"FALHA_NA_ALOCACAO": str(n)})
                      for n in range(1, int(sessoes[0].erro or 0) + 1)]
