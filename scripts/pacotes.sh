# shellcheck shell=bash
# Sourced by the project's scripts from the project's root.

# Installs those of the given Debian packages that are missing (needs root).
# Progress goes to standard error, so a script's own output stays clean.
instala_faltantes() {
    local faltam=() pacote
    for pacote in "$@"; do
        dpkg-query -W -f='${Status}' "$pacote" 2>/dev/null | grep -q "install ok installed" ||
            faltam+=("$pacote")
    done
    if ((${#faltam[@]} > 0)); then
        echo "installing: ${faltam[*]}" >&2
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${faltam[@]}" >&2
    fi
}

# The GNU triplet of Debian's cross compiler for architecture $1, as its
# toolchain file (cmake/alvos/<arch>.cmake) names it.
tripla_de() {
    sed -n 's/^set(alvo_triplet \(.*\))$/\1/p' "cmake/alvos/$1.cmake" 2>/dev/null | grep . ||
        { echo "no toolchain file for the architecture $1 (cmake/alvos/)" >&2 && return 1; }
}

# Installs what a cross build for each given Debian architecture needs (needs
# root): the cross compiler, qemu-user to run its binaries, and the target's C
# and C++ runtime libraries as Debian's multiarch packages (libc6:armhf...),
# which dpkg-shlibdeps reads to name the package's dependencies.
instala_alvos() {
    local arquitetura pacotes=(qemu-user dpkg-dev)
    for arquitetura in "$@"; do
        if ! dpkg --print-foreign-architectures | grep -qx "$arquitetura"; then
            echo "adding the architecture $arquitetura to dpkg" >&2
            dpkg --add-architecture "$arquitetura"
        fi
        pacotes+=("g++-$(tripla_de "$arquitetura")")
        pacotes+=("libc6:$arquitetura" "libstdc++6:$arquitetura" "libgcc-s1:$arquitetura")
    done
    instala_faltantes "${pacotes[@]}"
}
