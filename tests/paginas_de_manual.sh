#!/bin/sh
# Checks the manual pages of a folder. groff formats each page with no warning;
# man shows each, links included, at 60 and at 80 columns with no error and no
# word broken by a hyphen at a line end; and the terminal session in halver.1
# is what halver and halver_alloc write for the page's own scripted session,
# each answer shown after its prompt as a terminal's echo shows it. Without man
# only groff's check runs, and the test ends with status 77 (skipped).
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

for pagina in "$paginas"/*.1; do
    nome=$(basename "$pagina")
    for colunas in 60 80; do
        texto=$pasta/$nome.$colunas
        if ! MANWIDTH=$colunas man -l "$pagina" >"$texto" 2>"$pasta/erros" || [ -s "$pasta/erros" ]; then
            erro "man -l $pagina fails at $colunas columns: $(cat "$pasta/erros")"
        fi
        quebras=$(grep -E '[[:alpha:]][-‐]$' "$texto") &&
            erro "$nome breaks words with a hyphen at $colunas columns:
$quebras"
    done
done

# The scripted session of halver.1 ("printf \(aq2\en10...\(aq | halver_alloc"),
# as printf's format.
roteiro=$(sed -n 's/^printf \\(aq\(.*\)\\(aq | halver_alloc$/\1/p' "$paginas/halver.1" |
    sed 's/\\e/\\/g')
[ -n "$roteiro" ] || erro "halver.1 has no scripted session"

# The example as man shows it, from "$ halver" to the first line less indented,
# without its indentation; a line holding only a no-break space is blank.
awk -v nbsp="$(printf '\302\240')" '
    dentro && $0 != "" && substr($0, 1, recuo) != margem { exit }
    dentro {
        linha = substr($0, recuo + 1)
        guardadas[++n] = linha == nbsp ? "" : linha
    }
    !dentro && /^ *\$ halver$/ { recuo = index($0, "$") - 1; margem = substr($0, 1, recuo); dentro = 1 }
    END {
        while (n > 0 && guardadas[n] == "") n--
        for (i = 1; i <= n; i++) print guardadas[i]
    }' "$pasta/halver.1.80" >"$pasta/exemplo"

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
    diferenca=$(diff -u "$pasta/sessao" "$pasta/exemplo") ||
        erro "halver.1's example (+) is not what $programa writes at a terminal (-):
$diferenca"
done
exit $status
