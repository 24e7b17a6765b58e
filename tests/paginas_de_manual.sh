#!/bin/sh
# Checks the manual pages of a folder. groff formats each page with no warning.
# Each page is shown as man shows it at every width from 60 to 160 columns
# (links at 80), with no error, no word broken by a hyphen at a line end, no
# no-break space, and no text that the page sets in bold with its spaces
# stretched apart or, when it is short enough to fit on a line at every width,
# broken across two lines. The pages are formatted as man-db does it
# (preconv, tbl, troff with the line length man gives a width, grotty), one troff
# per page and width, and one awk reads them all; man itself shows each page at
# 80 columns, which must be what was checked. The terminal session in halver.1,
# as man shows it in a UTF-8 locale and in the C locale, is what halver and
# halver_alloc write for the page's own scripted session, each answer shown
# after its prompt as a terminal's echo shows it; the programs of a cross build
# run under the command in EMULADOR. Without man, the pages are still formatted
# and checked at every width, man's own view and the session are not, and the
# test ends with status 77 (skipped).
# Usage: paginas_de_manual.sh PAGES_FOLDER PROGRAMS_FOLDER
set -eu
paginas=$1
programas=$2
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
# The pages are UTF-8, and so is what man makes of them here.
LC_ALL=C.UTF-8
export LC_ALL
status=0

erro() {
    printf 'paginas_de_manual: %s\n' "$*" >&2
    status=1
}

for pagina in "$paginas"/*.1; do
    [ -L "$pagina" ] && continue
    avisos=$({ preconv -e UTF-8 "$pagina" | groff -man -Tutf8 -ww -z; } 2>&1)
    [ -z "$avisos" ] || erro "groff's warnings on $pagina:
$avisos"
done

# The page's own multi-word texts in bold (.B a b, .B a\ b, .B "a b", .BR "a b"
# ...), \ as a space.
textos_em_negrito() {
    sed -n 's/^\.\(B\|BR\|BI\|IB\) "\([^"]*[ ][^"]*\|[^"]*\\ [^"]*\)".*/\2/p
            s/^\.B \([^"]*[ ][^"]*\)$/\1/p' "$1" | sed 's/\\ / /g; s/\\-/-/g; s/\\&//g'
}

# Each page as man shows it at each of its widths, one after the other, each
# beginning with the page's title line: troff for each width, with the line
# length that man-db gives it (39/40 of the width), then grotty, plain text,
# for them all.
for pagina in "$paginas"/*.1; do
    nome=$(basename "$pagina")
    larguras=$(seq 60 160)
    [ -L "$pagina" ] && larguras=80
    echo "$larguras" >"$pasta/$nome.larguras"
    preconv -e UTF-8 "$pagina" | tbl >"$pasta/$nome.roff"
    for colunas in $larguras; do
        linha=$((colunas * 39 / 40))
        if ! troff -mandoc -Tutf8 -rLL="${linha}n" -rLT="${linha}n" "$pasta/$nome.roff" \
            >"$pasta/$nome.troff.$colunas" 2>"$pasta/erros" || [ -s "$pasta/erros" ]; then
            erro "troff fails on $pagina at $colunas columns: $(cat "$pasta/erros")"
        fi
    done
    set --
    for colunas in $larguras; do
        set -- "$@" "$pasta/$nome.troff.$colunas"
    done
    grotty -cbou "$@" >"$pasta/$nome.texto"
    textos_em_negrito "$pagina" >"$pasta/$nome.textos"
done

# Every width of every page read once: a piece begins at each title line (the
# first line's first word at the start of a line); the piece at 80 columns is
# kept for man's view. Each text of the page must show as written wherever its
# words show, one space apart: never stretched, and, if it is short enough to
# fit on a line at every width (44 bytes: 60 columns give 58, less an indented
# paragraph's 14), never broken across two lines. Bytes, not characters: any
# byte of a multibyte character counts as a letter.
problemas=$(for pagina in "$paginas"/*.1; do basename "$pagina"; done | (cd "$pasta" && LC_ALL=C awk '
    function confere(   i, resto, achado) {
        if (pecas == 0 || pecas > n) return  # the count of pieces is checked at the end
        if (largura[pecas] == 80) printf "%s", peca > (nome ".80")
        for (i = 1; i <= textos; i++) {
            resto = peca
            while (match(resto, re[i])) {
                achado = substr(resto, RSTART, RLENGTH)
                if (achado != texto[i])
                    print nome (index(achado, "\n") ? " breaks" : " stretches") " its own text at " \
                          largura[pecas] " columns:\n" achado
                resto = substr(resto, RSTART + RLENGTH)
            }
        }
    }
    {
        nome = $0; textos = 0; n = 0; pecas = 0; peca = ""; titulo = ""
        while ((getline linha < (nome ".textos")) > 0) {
            gsub(/^ +| +$/, "", linha)
            texto[++textos] = linha
            gsub(/[][\\.*+?(){}|^$]/, "\\\\&", linha)
            gsub(/ /, length(texto[textos]) <= 44 ? "[ \n]+" : " +", linha)
            re[textos] = linha
        }
        while ((getline linha < (nome ".larguras")) > 0)
            largura[++n] = linha
        while ((getline linha < (nome ".texto")) > 0) {
            if (titulo == "" && linha != "") { titulo = linha; sub(/ .*/, "", titulo) }
            if (substr(linha, 1, length(titulo) + 1) == titulo " ") {
                confere()
                pecas++
                peca = ""
            }
            peca = peca linha "\n"
            if (linha ~ /([[:alpha:]]|[\200-\377])(-|‐)$/)
                print nome " breaks a word with a hyphen at " largura[pecas] " columns:\n" linha
            if (index(linha, "\302\240"))  # copied text would carry it
                print nome " shows a no-break space at " largura[pecas] " columns:\n" linha
        }
        confere()
        if (pecas != n) print nome ": " pecas " title lines for " n " widths"
    }')
)
[ -z "$problemas" ] || erro "$problemas"

if ! command -v man >/dev/null; then
    echo "paginas_de_manual: man is not installed: man's own view and halver.1's session were not checked" >&2
    [ $status -ne 0 ] || status=77
    exit $status
fi

# man's own view of each page at 80 columns (a run of blank lines shown as one)
# is what was checked there.
for pagina in "$paginas"/*.1; do
    nome=$(basename "$pagina")
    if ! MANWIDTH=80 man -l "$pagina" >"$pasta/man.$nome" 2>"$pasta/erros" || [ -s "$pasta/erros" ]; then
        erro "man -l $pagina fails at 80 columns: $(cat "$pasta/erros")"
    fi
    diferenca=$(cat -s "$pasta/$nome.80" | diff -u - "$pasta/man.$nome") ||
        erro "man shows $nome at 80 columns (+) otherwise than it was checked (-):
$diferenca"
done

# The scripted session of halver.1 ("printf \(aq2\en10...\(aq | halver_alloc"),
# as printf's format.
roteiro=$(sed -n 's/^printf \\(aq\(.*\)\\(aq | halver_alloc$/\1/p' "$paginas/halver.1" |
    sed 's/\\e/\\/g')
[ -n "$roteiro" ] || erro "halver.1 has no scripted session"

# The example in man's view of halver.1 (standard input): its first display,
# from after "$ halver" to the first line less indented, then the two blank
# lines that the text after it tells of (man shows a run of blank lines as one),
# then the next display; each display without its indentation and its blank
# lines at the end.
exemplo() {
    awk '
        function guarda(linha) { guardadas[++n] = linha }
        function apara() { while (n > 0 && guardadas[n] == "") n-- }
        parte == 1 || parte == 3 {
            if ($0 == "" || substr($0, 1, recuo) == margem) {
                guarda(substr($0, recuo + 1))
                next
            }
            apara()
            if (++parte == 4) exit
        }
        parte == 2 {
            if (substr($0, 1, recuo) == margem) {
                texto = entre
                gsub(/ +/, " ", texto)
                if (index(texto, " duas linhas em branco ") == 0)
                    guarda("(the text between the displays tells of no two blank lines:" texto ")")
                guarda("")
                guarda("")
                parte = 3
                guarda(substr($0, recuo + 1))
            } else
                entre = entre " " $0
            next
        }
        !parte && /^ *\$ halver$/ { recuo = index($0, "$") - 1; margem = substr($0, 1, recuo); parte = 1 }
        END {
            apara()
            for (i = 1; i <= n; i++) print guardadas[i]
        }'
}
exemplo <"$pasta/man.halver.1" >"$pasta/exemplo.utf8"
LC_ALL=C MANWIDTH=80 man -l "$paginas/halver.1" 2>/dev/null | exemplo >"$pasta/exemplo.c"

for programa in halver halver_alloc; do
    # shellcheck disable=SC2059 # the session is printf's format
    printf "$roteiro" | ${EMULADOR:-} "$programas/$programa" >"$pasta/saida" ||
        erro "$programa ended with status $? in halver.1's session"
    # At a terminal each answer is echoed where the program waits for it: after
    # each prompt.
    awk -v respostas="$roteiro" '
        BEGIN { RS = "\001"; split(respostas, resposta, "\n") }
        {
            texto = $0
            while (match(texto, /Qual o tamanho do vetor de estruturas\? |Digite [0-9]+o numero: |Digite um nome: /)) {
                printf "%s%s\n", substr(texto, 1, RSTART + RLENGTH - 1), resposta[++n]
                texto = substr(texto, RSTART + RLENGTH)
            }
            printf "%s\n", texto
        }' "$pasta/saida" >"$pasta/sessao"
    for localidade in utf8 c; do
        diferenca=$(diff -u "$pasta/sessao" "$pasta/exemplo.$localidade") ||
            erro "halver.1's example in the $localidade locale (+) is not what $programa writes at a terminal (-):
$diferenca"
    done
done
exit $status
