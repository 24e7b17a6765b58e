# shellcheck shell=bash
# Shared by the benchmark scripts, which source it from the project's root.
source scripts/pacotes.sh

# The release build that the benchmarks measure, the desempenho preset's folder.
construcao=build-release

# Builds the given targets in $construcao.
constroi() {
    cmake --preset desempenho >/dev/null
    local alvo
    for alvo in "$@"; do
        cmake --build "$construcao" -j"$(nproc)" --target "$alvo" >/dev/null
    done
}

# The machine a table was measured on: host name, processor, cores, load.
descreve_maquina() {
    local cpu
    cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
    echo "Machine: $(uname -n), ${cpu:-unknown processor}, $(nproc) cores;" \
        "load average before the run: $(cut -d ' ' -f 1-3 /proc/loadavg)."
}
