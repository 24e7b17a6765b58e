#!/bin/sh
# Builds the Debian package twice, each time from a copy of the sources in a
# folder of its own (different paths, different lengths, build folders of
# different names), building only what the package holds, with warnings as
# errors as in every build of the check, and checks that the two packages are
# the same, byte for byte. SOURCE_DATE_EPOCH is left unset, so the package
# takes the time of the last commit (of the changelog's latest entry outside a
# git checkout), and the test checks that every file in it carries that time.
# Leaves nothing behind. With an architecture, both are cross builds for it
# (cmake/alvos/ARCH.cmake) and the package must be that architecture's.
# Usage: tests/reproducivel.sh [ARCH]
set -eu
fonte=$(cd "$(dirname "$0")/.." && pwd)
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
unset SOURCE_DATE_EPOCH
arquitetura=${1-}

falha() {
    echo "reproducivel: $*" >&2
    exit 1
}

# The copies have no repository of their own: git finds the sources' one
# through GIT_DIR, only to read the last commit's time. Sources outside a git
# checkout take the changelog's latest date.
if GIT_DIR=$(git -C "$fonte" rev-parse --absolute-git-dir 2>/dev/null); then
    export GIT_DIR
    instante=$(git log -1 --format=%ct)
else
    unset GIT_DIR
    instante=$(dpkg-parsechangelog -l "$fonte/pacote/changelog" -S Timestamp)
fi

# Builds the package from a copy of the sources (what git tracks and what it
# would track, links kept as links) in $1, with the build folder $1/$2, and
# leaves it as $1.deb.
constroi() {
    mkdir -p "$1"
    # A file deleted but not yet committed is only named by tar, not copied.
    # Outside a git checkout, everything but the build folders is copied.
    if [ -n "${GIT_DIR:-}" ]; then
        git -C "$fonte" ls-files -z --cached --others --exclude-standard |
            tar -C "$fonte" --null -T - --ignore-failed-read -cf -
    else
        tar -C "$fonte" --exclude='./build*' -cf - .
    fi | tar -C "$1" -xf - || falha "the sources could not be copied to $1"
    if ! { cmake -S "$1" -B "$1/$2" -DCONSTRUIR_TESTES=OFF -DCONSTRUIR_BENCHMARKS=OFF \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
        ${arquitetura:+--toolchain "$1/cmake/alvos/$arquitetura.cmake"} &&
        cmake --build "$1/$2" -j"$(nproc)" &&
        (cd "$1/$2" && cpack -G DEB -B "$1/pacote"); } >"$1.log" 2>&1; then
        cat "$1.log" >&2
        falha "the package could not be built in $1"
    fi
    set -- "$1" "$1"/pacote/*.deb
    if [ $# -ne 2 ] || [ ! -f "$2" ]; then
        falha "cpack made no single .deb in $1/pacote"
    fi
    cp "$2" "$1.deb"
}

constroi "$pasta/a" build
constroi "$pasta/outra-copia-das-fontes" construcao
if ! cmp "$pasta/a.deb" "$pasta/outra-copia-das-fontes.deb"; then
    sha256sum "$pasta"/*.deb >&2
    falha "two builds of the same sources gave different packages"
fi

arquitetura_do_pacote=$(dpkg-deb -f "$pasta/a.deb" Architecture)
[ "$arquitetura_do_pacote" = "${arquitetura:-$(dpkg --print-architecture)}" ] ||
    falha "the package's architecture is $arquitetura_do_pacote"

# Every file, and every member of the package itself, carries the last
# commit's time.
esperada=$(TZ=UTC0 date -d "@$instante" '+%Y-%m-%d %H:%M:%S')
datas=$(dpkg-deb --fsys-tarfile "$pasta/a.deb" | TZ=UTC0 tar -tv --full-time |
    awk '{ print $4, $5 }' | sort -u)
[ "$datas" = "$esperada" ] ||
    falha "the files' times are not the last commit's ($esperada): $datas"
esperada_ar=$(LC_ALL=C TZ=UTC0 date -d "@$instante" '+%b %-d %H:%M %Y')
membros=$(LC_ALL=C TZ=UTC0 ar tv "$pasta/a.deb" | awk '{ print $4, $5, $6, $7 }' | sort -u)
[ "$membros" = "$esperada_ar" ] ||
    falha "the package's members' times are not the last commit's ($esperada_ar): $membros"
echo "reproducivel: two builds gave the same $arquitetura_do_pacote package, sha256" \
    "$(sha256sum <"$pasta/a.deb" | cut -d' ' -f1), its files dated $esperada UTC"
