#!/bin/sh
# Builds the Debian package of a build folder in a temporary folder and checks
# that it holds the three programs, their manual pages, the copyright file and
# the changelog, names what it needs to run, and that lintian finds no error
# and no warning in it, nor (for a build made "endurecido", hardened) any
# missing hardening that the compiler (CMake's compiler id: GNU, Clang...) can
# give. Says what it checked. Without lintian the rest is checked and the test
# ends with status 77 (skipped).
# Usage: pacote.sh CPACK BUILD_FOLDER endurecido|sem-endurecimento COMPILER_ID
set -eu
cpack=$1
construcao=$2
endurecimento=$3
compilador=${4-}
fonte=$(cd "$(dirname "$0")/.." && pwd)
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT

falha() {
    echo "pacote: $*" >&2
    exit 1
}

uso="usage: pacote.sh CPACK BUILD_FOLDER endurecido|sem-endurecimento COMPILER_ID"
[ -n "$compilador" ] || falha "$uso"
# The hardening tags that a hardened build must not get, besides the warnings
# (hardening-no-pie, hardening-no-relro) that fail any build: lintian's info
# tags hardening-no-bindnow, and hardening-no-fortify-functions from g++ alone
# (compiler id GNU). The programs' one call that g++ turns into its checked
# form is fprintf (__fprintf_chk; the sizes of the others are known only at run
# time), and glibc (2.36) checks it through GCC's __builtin_va_arg_pack, with a
# fallback for C alone: clang++'s programs call no __*_chk function at all.
case $endurecimento in
endurecido)
    marcas=hardening-no-bindnow
    if [ "$compilador" = GNU ]; then
        marcas="$marcas hardening-no-fortify-functions"
    fi
    ;;
sem-endurecimento) marcas= ;;
*) falha "$uso" ;;
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
# lintian leaves databases (mldbm-elf-*) in its temporary folder: a folder of
# its own inside this one goes with it.
mkdir "$pasta/temporaria"
if ! relatorio=$(TMPDIR=$pasta/temporaria lintian --display-info --fail-on error,warning "$deb" 2>&1); then
    printf '%s\n' "$relatorio" >&2
    falha "lintian finds fault with the package"
fi
for marca in $marcas; do
    if printf '%s\n' "$relatorio" | grep -Eq "^I: .* $marca( |\$)"; then
        printf '%s\n' "$relatorio" >&2
        falha "lintian finds hardening missing from the package: $marca"
    fi
done
echo "pacote: the files, dependencies, changelog and copyright are right; lintian gives no" \
    "error or warning; built by $compilador, $endurecimento: ${marcas:-no hardening tag} checked absent"
