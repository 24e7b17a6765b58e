#!/bin/sh
# Builds the Debian package of a build folder in a temporary folder and checks
# that it holds the three programs and their manual pages and names what they
# need to run.
# Usage: pacote.sh CPACK BUILD_FOLDER
set -eu
cpack=$1
construcao=$2
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT

falha() {
    echo "pacote: $*" >&2
    exit 1
}

"$cpack" -G DEB --config "$construcao/CPackConfig.cmake" -B "$pasta" >/dev/null
set -- "$pasta"/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || falha "cpack made no single .deb: $*"
deb=$1

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$pasta/conteudo"
for arquivo in bin/user bin/halver bin/halver_alloc \
    share/man/man1/user.1.gz share/man/man1/halver.1.gz share/man/man1/halver_alloc.1.gz; do
    grep -qx "./usr/$arquivo" "$pasta/conteudo" || falha "the package lacks /usr/$arquivo"
done

# clear comes from ncurses-bin; dpkg-shlibdeps adds the C library.
dependencias=$(dpkg-deb -f "$deb" Depends)
for pacote in ncurses-bin libc6; do
    case ", $dependencias," in
    *", $pacote "* | *", $pacote,"*) ;;
    *) falha "the package does not depend on $pacote: $dependencias" ;;
    esac
done
