#!/bin/sh
# Installs a build folder into a temporary prefix, runs each installed program
# once with a short scripted session and checks that every manual page landed.
# The programs of a cross build run under the command in EMULADOR (qemu-user).
# Usage: instalacao.sh CMAKE BUILD_FOLDER
set -eu
cmake=$1
construcao=$2
raiz=$(mktemp -d)
trap 'rm -rf "$raiz"' EXIT
prefixo=$raiz/prefixo

falha() {
    echo "instalacao: $*" >&2
    exit 1
}

"$cmake" --install "$construcao" --prefix "$prefixo" >/dev/null

# user clears the screen with clear: a stand-in that writes nothing keeps the
# output plain wherever the test runs, with or without a terminal.
mkdir "$raiz/caminho"
printf '#!/bin/sh\n' >"$raiz/caminho/clear"
chmod +x "$raiz/caminho/clear"

# Runs the installed program $1 with the input $2 and expects status 0 and the
# text $3 in its output. The output goes to a file of at most 1 MiB, so a
# program that never stops writing ends there (SIGXFSZ) instead of filling the
# shell's memory.
sessao() {
    [ -x "$prefixo/bin/$1" ] || falha "$1 is not installed in bin/"
    printf '%b' "$2" | (ulimit -f 2048 && PATH="$raiz/caminho:$PATH" exec ${EMULADOR:-} "$prefixo/bin/$1") \
        >"$raiz/saida" || falha "$1 ended with status $?"
    saida=$(cat "$raiz/saida")
    case $saida in
    *"$3"*) ;;
    *) falha "$1 did not write '$3'; it wrote: $saida" ;;
    esac
}

sessao user '2\n20\n\n1\n-7\n\n5\n\n6\n' '{ -7 20 }'
sessao halver '2\n10\nana\n7\nbeto\n' 'numero da 1a estrutura: 5
numero da 2a estrutura: 7'
sessao halver_alloc '1\n-6\nana\n' 'numero da 1a estrutura: -3'

documentos=$prefixo/share/doc/programas-de-console
for arquivo in copyright changelog.gz; do
    [ -s "$documentos/$arquivo" ] || falha "$documentos/$arquivo is not installed"
done

# Each page is a gzip file holding a page, or a link to another page in the
# same folder; man shows each installed page when it is there to try.
paginas=$prefixo/share/man
for nome in user halver halver_alloc; do
    pagina=$paginas/man1/$nome.1.gz
    if [ -L "$pagina" ]; then
        case $(readlink "$pagina") in
        */*) falha "$pagina links outside its folder: $(readlink "$pagina")" ;;
        esac
    fi
    texto=$(gzip -dc "$pagina") || falha "no readable manual page $pagina"
    case $texto in
    *.TH\ *) ;;
    *) falha "$pagina is not a manual page" ;;
    esac
    if command -v man >/dev/null; then
        mostrada=$(MANPATH=$paginas man "$nome" 2>&1) || falha "man $nome fails: $mostrada"
        case $mostrada in
        *"$nome"*) ;;
        *) falha "man $nome does not show its page: $mostrada" ;;
        esac
    fi
done
