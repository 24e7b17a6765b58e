#!/bin/sh
# Builds the Debian package of a build folder in a temporary folder and checks
# that it holds the three programs, their manual pages, the copyright file and
# the changelog, names what it needs to run, and that lintian finds no error
# and no warning in it, nor (for a build made "endurecido", hardened) any
# missing hardening. Without lintian the rest is checked and the test ends with
# status 77 (skipped).
# Usage: pacote.sh CPACK BUILD_FOLDER endurecido|sem-endurecimento
set -eu
cpack=$1
construcao=$2
endurecimento=$3
fonte=$(cd "$(dirname "$0")/.." && pwd)
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT

falha() {
    echo "pacote: $*" >&2
    exit 1
}

case $endurecimento in
endurecido | sem-endurecimento) ;;
*) falha "usage: pacote.sh CPACK BUILD_FOLDER endurecido|sem-endurecimento" ;;
esac

"$cpack" -G DEB --config "$construcao/CPackConfig.cmake" -B "$pasta" >/dev/null
set -- "$pasta"/*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    falha "cpack made no single .deb: $*"
fi
deb=$1

documentos=share/doc/programas-de-console
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$pasta/conteudo"
for arquivo in bin/user bin/halver bin/halver_alloc \
    share/man/man1/user.1.gz share/man/man1/halver.1.gz share/man/man1/halver_alloc.1.gz \
    $documentos/copyright $documentos/changelog.gz; do
    grep -qx "./usr/$arquivo" "$pasta/conteudo" || falha "the package lacks /usr/$arquivo"
done

# dpkg-shlibdeps adds the C library.
dependencias=$(dpkg-deb -f "$deb" Depends)
case ", $dependencias," in
*", libc6 "* | *", libc6,"*) ;;
*) falha "the package does not depend on libc6: $dependencias" ;;
esac

# The changelog's latest entry is this version, and the copyright file holds
# LICENSE's text: its lines after "License:", one space in, "." for a blank.
dpkg-deb -x "$deb" "$pasta/raiz"
versao=$(dpkg-deb -f "$deb" Version)
versao_changelog=$(gzip -dc "$pasta/raiz/usr/$documentos/changelog.gz" |
    dpkg-parsechangelog -l - -S Version)
[ "$versao_changelog" = "$versao" ] ||
    falha "the changelog's latest version is '$versao_changelog', the package's '$versao'"
sed '1,/^License: /d; s/^ //; s/^\.$//' "$pasta/raiz/usr/$documentos/copyright" >"$pasta/licenca"
sed '1,/^Copyright (c) /d' "$fonte/LICENSE" | sed '1{/^$/d}' | cmp -s - "$pasta/licenca" ||
    falha "the copyright file does not hold LICENSE's text"

if ! command -v lintian >/dev/null; then
    echo "pacote: lintian is not installed: the package was not checked with it" >&2
    exit 77
fi
if ! relatorio=$(lintian --display-info --fail-on error,warning "$deb" 2>&1) ||
    { [ "$endurecimento" = endurecido ] &&
        printf '%s\n' "$relatorio" | grep -q '^I: .* hardening-'; }; then
    printf '%s\n' "$relatorio" >&2
    falha "lintian finds fault with the package"
fi
