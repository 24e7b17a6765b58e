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
