"""halver's and halver_alloc's sessions: transcripts through a pipe and at a terminal, other
connections, a dialogue typed prompt by prompt, and every allocation failing in turn."""
import signal

import pytest

from sessao import (FECHADO, PROGRAMAS, Transcricao as T, arquivo, arquivo_distante, atrasada,
                    breve, com_cada_alocacao_falhando, confere, confere_transcricao, no_terminal,
                    soquete)

NOMES = ["halver", "halver_alloc"]
TAMANHO = "Qual o tamanho do vetor de estruturas? "
NOME = "\nDigite um nome: "
SEPARADOR = "\n--------------\n\n"
SEM_TAMANHO = "\nErro:\n\tEntrada terminou sem o tamanho do vetor\n"
SEM_ESTRUTURAS = "\nErro:\n\tEntrada terminou antes de todas as estruturas serem lidas\n"
SEM_VETOR = "\nErro:\n\tVetor de estruturas nao foi alocado\n"


def numero(posicao):
    return f"Digite {posicao}o numero: "


def resultado(posicao, valor):
    return f"\nnumero da {posicao}a estrutura: {valor}"


def registro(posicao):
    """The prompts of a record whose number was valid at the first try."""
    return numero(posicao) + NOME + SEPARADOR


def lidos(*valores):
    """The screen of a session whose records each took one answer, valores the numbers shown."""
    posicoes = range(1, len(valores) + 1)
    return TAMANHO + "".join(map(registro, posicoes)) + "".join(map(resultado, posicoes, valores))


DOIS = "2\n10\nana\n7\nbeto\n"
# Many records at once: a reader that throws away read-ahead loses them in a pipe.
MUITOS = "300\n" + "".join(f"{i}\nnome {i}\n" for i in range(1, 301))

TRANSCRICOES = [
    T("two records, the second odd", DOIS,
      "Qual o tamanho do vetor de estruturas? Digite 1o numero: \nDigite um nome: \n"
      "--------------\n\nDigite 2o numero: \nDigite um nome: \n--------------\n\n"
      "\nnumero da 1a estrutura: 5\nnumero da 2a estrutura: 7"),
    T("each even number halved once", "3\n8\nana\n-6\nbia\n0\ncris\n", lidos(4, -3, 0)),
    T("the 32-bit limits", "2\n-2147483648\nx\n2147483647\ny\n", lidos(-1073741824, 2147483647)),
    T("count 0 reads nothing more", "0\n4\nana\n", TAMANHO),
    T("the largest count asks for 48 GiB, more than there is", f"{2**31 - 1}\n",
      TAMANHO + SEM_VETOR, 1),
    # 4.3 GB, which a 32-bit size_t wraps around to 8 bytes: a 32-bit program cannot count them,
    # any other cannot have them under the sessions' bound (its address space, or under
    # AddressSanitizer its largest block).
    T("a count whose bytes pass 4 GiB gets no array", "178956971\n4\nana\n",
      TAMANHO + SEM_VETOR, 1),
    T("a negative count reads nothing more", "-3\n4\nana\n", TAMANHO),
    T("a count that is not a number is asked again", "abc\n\n2147483648\n1\n4\nana\n",
      TAMANHO * 2 + lidos(2)),
    T("a number that is not a number is asked again", "1\nquatro\n-2147483649\n-\n\n-4\nana\n",
      TAMANHO + numero(1) * 4 + NOME + SEPARADOR + resultado(1, -2)),
    T("the name is the line after the number's line", "1\n10 dez\nana\n", lidos(5)),
    T("an empty line is an empty name", "2\n4\n\n6\nb\n", lidos(2, 3)),
    T("a name that looks like a number", "2\n4\n6\n8\n10\n", lidos(2, 4)),
    # 19 bytes; then "ç" across the 19-byte limit; then a line longer than a terminal's.
    T("names of 19 bytes and longer take their whole line, the next number read after it",
      f"3\n4\nabcdefghijklmnopqrs\n6\nabcdefghijklmnopqrção e mais coisa\n8\n{'x' * 3000}\n",
      lidos(2, 3, 4)),
    T("a name far longer than any buffer", f"2\n4\n{'x' * 200_000}\n6\nb\n", lidos(2, 3)),
    T("blank lines before a number are passed over", "\n\n1\n\n4\nana\n", lidos(2)),
    T("a last line without its line end", "1\n4\nana", lidos(2)),
    T("300 records in one go", MUITOS, lidos(*(i if i % 2 else i // 2 for i in range(1, 301)))),
    T("end of input at the count", "", TAMANHO + SEM_TAMANHO, 1),
    T("end of input after a bad count", "x\n", TAMANHO * 2 + SEM_TAMANHO, 1),
    T("end of input at a number", "2\n4\nana\n",
      TAMANHO + registro(1) + numero(2) + SEM_ESTRUTURAS, 1),
    T("end of input after a bad number", "1\nx\n", TAMANHO + numero(1) * 2 + SEM_ESTRUTURAS, 1),
    T("end of input at a name", "1\n4\n", TAMANHO + numero(1) + NOME + SEM_ESTRUTURAS, 1),
    T("end of input at a name, the number without its line end", "1\n4",
      TAMANHO + numero(1) + NOME + SEM_ESTRUTURAS, 1),
]


def outras_ligacoes(nome):
    """Sessions connected otherwise than through an ordinary pipe or terminal."""
    nao_escrita = f"{nome}: saida nao pode ser escrita: "
    nao_lida = f"{nome}: entrada nao pode ser lida: "
    muitos = "3000\n" + "".join(f"{i}\nnome\n" for i in range(1, 3001))  # 250 KB of prompts
    return [
        T("output to a full device", DOIS, "", 1, sai="/dev/full",
          erro=nao_escrita + "No space left on device\n"),
        T("output closed, count 0", "0\n", "", 1, sai=FECHADO,
          erro=nao_escrita + "Bad file descriptor\n"),
        T("a reader that leaves after 10 bytes ends it with SIGPIPE", muitos, TAMANHO[:10],
          -signal.SIGPIPE, sai=breve),
        T("answers that arrive late at a non-blocking input", DOIS, lidos(5, 7),
          entra=atrasada(TAMANHO)),
        T("a folder as input", "", TAMANHO, 1, entra="/", erro=nao_lida + "Is a directory\n"),
        T("a folder as input and a full device as output", "", "", 1, entra="/", sai="/dev/full",
          erro=nao_escrita + "No space left on device\n" + nao_lida + "Is a directory\n"),
        T("input closed", "", TAMANHO, 1, entra=FECHADO, erro=nao_lida + "Bad file descriptor\n"),
        T("the lines after the last record are left to the next reader of the file",
          "1\n4\nana\nmais 1\nmais 2\n", lidos(2), resto="mais 1\nmais 2\n", entra=arquivo),
        T("the lines after a count of 0 are left to the next reader of the file", "0\n4\nana\n",
          TAMANHO, resto="4\nana\n", entra=arquivo),
        T("the lines after the last record are left to the next reader, 4.5 GiB into the file",
          "1\n4\nana\nmais 1\nmais 2\n", lidos(2), resto="mais 1\nmais 2\n",
          entra=arquivo_distante),
        T("a 64 KiB stack", DOIS, lidos(5, 7), pilha=64 * 1024),
    ] + [  # The peer resets the connection after the pieces: a line cut short is no answer.
        T(f"a connection reset in {onde}", pedacos, saida, 1, entra=soquete,
          erro=nao_lida + "Connection reset by peer\n")
        for onde, pedacos, saida in [("the count", ["3"], TAMANHO),
                                     ("a number", ["1\n", "8"], TAMANHO + numero(1)),
                                     ("a name", ["1\n8\n", "ab"], TAMANHO + numero(1) + NOME)]]


@pytest.mark.parametrize("nome", NOMES)
@pytest.mark.parametrize("t", TRANSCRICOES, ids=str)
def test_transcript(nome, t):
    confere_transcricao(PROGRAMAS[nome], t)


@pytest.mark.parametrize("nome, t", [(n, t) for n in NOMES for t in outras_ligacoes(n)],
                         ids=str)
def test_other_inputs_and_outputs(nome, t):
    confere_transcricao(PROGRAMAS[nome], t)


@pytest.mark.parametrize("nome", NOMES)
def test_each_answer_is_typed_only_once_its_prompt_is_on_the_screen(nome):
    """Each kind of wait: the count (asked again after a bad one), a number, a name."""
    trocas = [(TAMANHO, "x\n"), (TAMANHO, "2\n"), (numero(1), "10\n"), (NOME, "ana\n"),
              (numero(2), "7\n"), (NOME, "beto\n")]
    sessao = no_terminal(PROGRAMAS[nome], trocas)
    confere("the dialogue's screen", sessao.saida, TAMANHO + lidos(5, 7))
    assert sessao.status == 0


@pytest.mark.parametrize("nome", NOMES)
def test_every_allocation_fails_in_turn(nome):
    """Either program allocates its console, then, for a count above 0, its array. When the
    console fails nothing is read; when the array fails, the count prompt is followed by the
    error and nothing else is read."""
    pontos = 0
    # The input, its allocations and the count prompts written before the array is asked for.
    for entrada, alocacoes, perguntas in [
            (DOIS, 2, 1), ("x\n1\n4\nana", 2, 2),
            ("3\n4\nana\n", 2, 1),  # the input ends before the second record
            ("0\n", 1, 1), ("-5\n", 1, 1)]:  # a count of 0 or less: no array
        sessoes = com_cada_alocacao_falhando(PROGRAMAS[nome + "_falha"], entrada)
        assert len(sessoes) - 1 == alocacoes, f"allocations of {entrada!r}"
        sem_vetor = TAMANHO * perguntas + SEM_VETOR
        confere(f"{entrada!r}, the console's allocation failing", sessoes[1].saida,
                "Erro:\n\tConsole nao foi criado\n")
        for n, sessao in enumerate(sessoes[1:], 1):
            if n > 1:
                confere(f"{entrada!r}, allocation {n} failing", sessao.saida, sem_vetor)
            assert sessao.status == 1, f"{entrada!r}, allocation {n} failing"
        pontos += len(sessoes) - 1
    print(f"\n{nome}: {pontos} allocation points made to fail")
