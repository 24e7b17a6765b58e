"""user's sessions: transcripts through a pipe and at a terminal, other connections, dialogues
typed prompt by prompt, the real clear, and every allocation failing in turn."""
import os
import signal
import tempfile

import pytest

from sessao import (CTRL_BARRA, CTRL_C, FECHADO, PROGRAMAS, Transcricao as T, arquivo, atrasada,
                    breve, com_cada_alocacao_falhando, confere, confere_transcricao, no_terminal,
                    soquete)

USER = PROGRAMAS["user"]
C = "<CLEAR>"  # what the stand-in clear writes
NAO_LIMPA = "<CLEAR> not written\n"  # what it says on standard error when it cannot
MENU = ("---------------- Qual a operacao? -----------------\n"
        "[1] - Inserir um elemento no inicio\n"
        "[2] - Inserir um elemento no final\n"
        "[3] - Remover um elemento no inicio\n"
        "[4] - Remover um elemento no final\n"
        "[5] - Imprimir a fila\n"
        "[6] - Sair do programa\n"
        "Operacao: ")
TELA = C + MENU  # the screen after the start or an answer: cleared, then the menu
NO_INICIO = "Qual elemento será inserido no incio? "
NO_FINAL = "Qual elemento será inserido no final? "
INSERIDO = "Elemento inserido\n"
NAO_INSERIDO = "Erro:\n\tElemento não inserido\n"
REMOVENDO_INICIO = "Removendo no inicio...\n"
REMOVENDO_FINAL = "Removendo no final...\n"
REMOVIDO = "Elemento foi removido\n"
NAO_REMOVIDO = "Erro:\n\tElemento nao foi removido\n"
NAO_ESCRITA = "user: saida nao pode ser escrita: "
NAO_LIDA = "user: entrada nao pode ser lida: "


def lista(elementos):
    return "Deque:\n\t{ " + elementos + "}\n"


def ate_sair(*passos):
    """The screen of a session left from the menu: each step's text below a menu of its own."""
    return "".join(TELA + passo for passo in passos) + TELA + C


TRANSCRICOES = [
    T("leave at once", "6\n", ate_sair()),
    T("0 and 7 only bring the menu back", "0\n7\n6\n", ate_sair("", "")),
    T("a negative answer asks again below", "-3\n6\n", TELA + MENU + C),
    T("removals from an empty deque", "3\n\n4\n\n6\n",
      ate_sair(REMOVENDO_INICIO + NAO_REMOVIDO, REMOVENDO_FINAL + NAO_REMOVIDO)),
    T("listing an empty deque", "5\n\n6\n", ate_sair(lista(""))),
    T("inserts at both ends", "1\n10\n\n2\n20\n\n1\n5\n\n5\n\n6\n",
      ate_sair(NO_INICIO + INSERIDO, NO_FINAL + INSERIDO, NO_INICIO + INSERIDO, lista("5 10 20 "))),
    T("removals at both ends", "2\n1\n\n2\n2\n\n2\n3\n\n3\n\n4\n\n5\n\n6\n",
      ate_sair(NO_FINAL + INSERIDO, NO_FINAL + INSERIDO, NO_FINAL + INSERIDO,
               REMOVENDO_INICIO + REMOVIDO, REMOVENDO_FINAL + REMOVIDO, lista("2 "))),
    T("an element that is not a number is asked again", "1\nabc\n99999999999\n-4\n\n5\n\n6\n",
      ate_sair(NO_INICIO * 3 + INSERIDO, lista("-4 "))),
    T("a menu answer that is not a number asks again", "abc\n99999999999\n\n \n6\n",
      TELA + MENU + MENU + C),
    T("the rest of a line is dropped", "2 junk\n42 43\n\n5 5\nqualquer coisa\n6\n",
      ate_sair(NO_FINAL + INSERIDO, lista("42 "))),
    T("the 32-bit limits", "2\n2147483647\n\n2\n-2147483648\n\n5\n\n6\n",
      ate_sair(NO_FINAL + INSERIDO, NO_FINAL + INSERIDO, lista("2147483647 -2147483648 "))),
    # The line a prompt left open is ended; the pause's is ended already.
    T("end of input at the menu", "", TELA + "\n"),
    T("end of input at an element", "1\n", TELA + NO_INICIO + "\n"),
    T("end of input after a bad element", "2\nx\n", TELA + NO_FINAL + NO_FINAL + "\n"),
    T("end of input at the pause", "3\n", TELA + REMOVENDO_INICIO + NAO_REMOVIDO),
    T("end of input after an unknown answer", "9\n", TELA + TELA + "\n"),
    T("a last line without its end", "6", ate_sair()),
    T("an element line far longer than any buffer", "1\n" + "9" * 200_000 + "\n1\n\n5\n\n6\n",
      ate_sair(NO_INICIO * 2 + INSERIDO, lista("1 "))),
]

# Sessions connected otherwise than through an ordinary pipe or terminal.
OUTRAS_LIGACOES = [
    # The first clearing comes before any write, so it runs; after the write that fails, at the
    # pause's end, no clearing runs and no answer is read: the menu's answer is left in the file.
    T("output to a full device", "1\n5\n\n6\n", "", 1, sai="/dev/full", entra=arquivo,
      resto="6\n", erro=NAO_LIMPA + NAO_ESCRITA + "No space left on device\n"),
    T("output closed", "", "", 1, sai=FECHADO,
      erro=NAO_LIMPA + NAO_ESCRITA + "Bad file descriptor\n"),
    T("a reader that leaves after 10 bytes ends it with SIGPIPE", "-1\n" * 1000 + "6\n",
      TELA[:10], -signal.SIGPIPE, sai=breve),  # the menu again, 250 KB in all
    T("answers that arrive late at a non-blocking input", "2\n20\n\n5\n\n6\n",
      ate_sair(NO_FINAL + INSERIDO, lista("20 ")), entra=atrasada("Operacao: ")),
    T("a folder as input", "", TELA, 1, entra="/", erro=NAO_LIDA + "Is a directory\n"),
    T("input closed", "", TELA, 1, entra=FECHADO, erro=NAO_LIDA + "Bad file descriptor\n"),
    T("the one byte after leaving is left to the next reader of the file", "6\nX", ate_sair(),
      resto="X", entra=arquivo),
    T("a 64 KiB stack", "1\n10\n\n5\n\n6\n", ate_sair(NO_INICIO + INSERIDO, lista("10 ")),
      pilha=64 * 1024),
]
# A socket: each piece 0.4 s after the previous one, then the connection reset. A line that the
# failed read cut short is no answer, and nothing more is written.
OUTRAS_LIGACOES += [T(f"a connection reset {onde}", pedacos, saida, 1, entra=soquete,
                      erro=NAO_LIDA + "Connection reset by peer\n")
                    for onde, pedacos, saida in [
                        ("after an insertion", ["2\n", "20\n"], TELA + NO_FINAL + INSERIDO),
                        ("in a menu answer", ["3"], TELA),
                        ("in an element", ["1\n", "7"], TELA + NO_INICIO),
                        ("in the pause", ["5\n", "x"], TELA + lista(""))]]


@pytest.mark.parametrize("t", TRANSCRICOES + OUTRAS_LIGACOES, ids=str)
def test_transcript(t):
    confere_transcricao(USER, t)


def test_each_answer_is_typed_only_once_its_prompt_is_on_the_screen():
    """Each kind of wait: the menu and an element, each asked again after a bad answer, and the
    pause after an outcome and after a listing."""
    trocas = [(TELA, "1\n"), (NO_INICIO, "5\n"), (INSERIDO, "\n"), (TELA, "2\n"),
              (NO_FINAL, "x\n"), (NO_FINAL, "7\n"), (INSERIDO, "\n"), (TELA, "4\n"),
              (REMOVENDO_FINAL + REMOVIDO, "\n"), (TELA, "5\n"), (lista("5 "), "\n"),
              (TELA, "abc\n"), (MENU, "6\n")]
    sessao = no_terminal(USER, trocas)
    confere("the dialogue's screen", sessao.saida, "".join(p for p, _ in trocas) + C)
    assert sessao.status == 0


@pytest.mark.parametrize("depois, espera, tecla, status, fim", [
    ("exec sleep 2", C, CTRL_C, -signal.SIGINT, ""),
    ("exec sleep 2", C, CTRL_BARRA, -signal.SIGQUIT, ""),
    ("kill -TERM $PPID", C + MENU, "6\n", 0, MENU + C)], ids=["Ctrl-C", "Ctrl-backslash", "TERM"])
def test_a_key_that_kills_the_clearing_ends_user_as_that_signal(depois, espera, tecla, status, fim):
    """After the pause, clear (in its second run) lasts 2 s while a key is pressed, or the shell
    that runs it is killed by SIGTERM: user ends by the key's signal, writing nothing more, or
    goes on as after any clearing."""
    with tempfile.TemporaryDirectory() as lenta:
        with open(os.path.join(lenta, "clear"), "w") as clear:
            clear.write(f"""#!/bin/sh\nprintf '{C}'\n[ -e "$0.1" ] && {depois}\n: >"$0.1"\n""")
        os.chmod(clear.name, 0o755)
        sessao = no_terminal(USER, [(TELA, "5\n"), (lista(""), "\n"), (espera, tecla)],
                             ambiente={"PATH": lenta + ":" + os.environ["PATH"]})
    confere("the screen", sessao.saida, TELA + lista("") + C + fim)
    assert sessao.status == status


def test_the_real_clear_clears_the_screen():
    real = {"TERM": "xterm", "PATH": os.environ["PATH"]}
    sessao = no_terminal(USER, [("Operacao: ", "6\n")], ambiente=real)
    limpa = b"\x1b[H\x1b[2J"
    assert sessao.status == 0
    assert sessao.saida.startswith(limpa), "the screen is not cleared at the start"
    assert sessao.saida.find(limpa, len(limpa)) > 0, "the screen is not cleared on leaving"
    assert MENU.encode() in sessao.saida


def modelo(passos, falha):
    """The input of a session of passos (a menu answer, then the element for 1 and 2), ending
    after the last of them, and its output and status when the run's falha-th allocation fails
    (0: none does). The console takes the first allocation, the deque the second, then each
    insertion its node; one that fails leaves the deque as it was."""
    entrada, saida, alocacoes, deque = "", TELA, 2, []
    for operacao, *elemento in passos:
        entrada += "".join(f"{linha}\n" for linha in [operacao, *elemento])
        if operacao in (1, 2):
            alocacoes += 1
            saida += NO_INICIO if operacao == 1 else NO_FINAL
            if alocacoes == falha:
                saida += NAO_INSERIDO
            else:
                saida += INSERIDO
                deque.insert(0 if operacao == 1 else len(deque), elemento[0])
        elif operacao in (3, 4):
            saida += REMOVENDO_INICIO if operacao == 3 else REMOVENDO_FINAL
            saida += REMOVIDO if deque else NAO_REMOVIDO
            if deque:
                del deque[0 if operacao == 3 else -1]
        elif operacao == 5:
            saida += lista("".join(f"{e} " for e in deque))
        if operacao == 6:
            saida += C
        else:
            entrada += "\n"  # the pause
            saida += TELA
    if passos[-1][0] != 6:
        saida += "\n"  # the input ended at the menu
    if falha == 1:
        return entrada, "Erro:\n\tConsole nao foi criado\n", 1
    if falha == 2:
        return entrada, "Erro:\n\tDeque nao foi criado\n", 1
    return entrada, saida, 0


def test_every_allocation_fails_in_turn():
    pontos = 0
    for passos in [[(6,)],
                   [(1, 10), (2, 20), (1, 5), (5,), (3,), (4,), (5,), (2, -7), (5,), (6,)],
                   [(2, 1), (4,), (1, 2), (3,), (5,)]]:  # emptied, refilled; input ends at the menu
        entrada = modelo(passos, 0)[0]
        sessoes = com_cada_alocacao_falhando(PROGRAMAS["user_falha"], entrada)
        insercoes = sum(1 for operacao, *_ in passos if operacao in (1, 2))
        assert len(sessoes) - 1 == 2 + insercoes, f"allocations of {entrada!r}"
        for n, sessao in enumerate(sessoes):
            _, saida, status = modelo(passos, n)
            confere(f"{entrada!r} with allocation {n} failing", sessao.saida, saida)
            assert sessao.status == status, f"{entrada!r} with allocation {n} failing"
        pontos += len(sessoes) - 1
    print(f"\nuser: {pontos} allocation points made to fail")
