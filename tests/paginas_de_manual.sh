#!/bin/sh
# Checks the manual pages of a folder. groff formats each page with no warning;
# man shows each at every width from 60 to 160 columns (links at 80) with no
# error, no word broken by a hyphen at a line end, no no-break space, and no
# text that the page sets in bold with its spaces stretched apart; and the terminal
# session in halver.1, as man shows it in a UTF-8 locale and in the C locale, is
# what halver and halver_alloc write for the page's own scripted session, each
# answer shown after its prompt as a terminal's echo shows it. Without man only
# groff's check runs, and the test ends with status 77 (skipped).
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

if ! command -v man >/dev/null; then
    echo "paginas_de_manual: man is not installed: the pages were not shown with it" >&2
    [ $status -ne 0 ] || status=77
    exit $status
fi

# The page's own multi-word texts in bold (.B a\ b, .B "a b", .BR "a b" ...), \ as a space.
textos_em_negrito() {
    sed -n 's/^\.\(B\|BR\|BI\|IB\) "\([^"]*[ ][^"]*\|[^"]*\\ [^"]*\)".*/\2/p
            s/^\.B \([^"]*\\ .*\)$/\1/p' "$1" | sed 's/\\ / /g; s/\\-/-/g; s/\\&//g'
}

for pagina in "$paginas"/*.1; do
    nome=$(basename "$pagina")
    larguras=$(seq 60 160)
    [ -L "$pagina" ] && larguras=80
    textos_em_negrito "$pagina" >"$pasta/textos"
    for colunas in $larguras; do
        texto=$pasta/$nome.$colunas
        if ! MANWIDTH=$colunas man -l "$pagina" >"$texto" 2>"$pasta/erros" || [ -s "$pasta/erros" ]; then
            erro "man -l $pagina fails at $colunas columns: $(cat "$pasta/erros")"
        fi
        quebras=$(grep -E '[[:alpha:]][-‐]$' "$texto") &&
            erro "$nome breaks words with a hyphen at $colunas columns:
$quebras"
        # Copied text would carry it.
        grep -q "$(printf '\302\240')" "$texto" &&
            erro "$nome shows a no-break space at $colunas columns"
        # Each text, its words matched across any run of spaces, must show as written.
        esticados=$(awk 'FNR == NR {
                texto[++n] = $0; t = $0; gsub(/[][\\.*+?(){}|^$]/, "\\\\&", t); gsub(/ /, " +", t); re[n] = t
                next
            }
            { for (i = 1; i <= n; i++)
                if (match($0, re[i]) && substr($0, RSTART, RLENGTH) != texto[i]) print substr($0, RSTART, RLENGTH) }
            ' "$pasta/textos" "$texto")
        [ -z "$esticados" ] || erro "$nome stretches its own texts at $colunas columns:
$esticados"
    done
done

# The scripted session of halver.1 ("printf \(aq2\en10...\(aq | halver_alloc"),
# as printf's format.
roteiro=$(sed -n 's/^printf \\(aq\(.*\)\\(aq | halver_alloc$/\1/p' "$paginas/halver.1" |
    sed 's/\\e/\\/g')
[ -n "$roteiro" ] || erro "halver.1 has no scripted session"

# The example as man shows it in a locale: its first display, from after
# "$ halver" to the first line less indented, then the two blank lines that the text after it
# tells of (man shows a run of blank lines as one), then the next display; each
# display without its indentation and its blank lines at the end.
exemplo() {
    LC_ALL=$1 MANWIDTH=80 man -l "$paginas/halver.1" 2>/dev/null | awk '
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
exemplo C.UTF-8 >"$pasta/exemplo.utf8"
exemplo C >"$pasta/exemplo.c"

for programa in halver halver_alloc; do
    # shellcheck disable=SC2059 # the session is printf's format
    printf "$roteiro" | "$programas/$programa" >"$pasta/saida" ||
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
