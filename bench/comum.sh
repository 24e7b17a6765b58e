# Shared by the benchmark scripts, which source it from the project's root.
source scripts/pacotes.sh

# Builds the given targets in build/, the README's build folder.
constroi() {
    cmake -S . -B build -DCONSTRUIR_BENCHMARKS=ON >/dev/null
    local alvo
    for alvo in "$@"; do
        cmake --build build -j"$(nproc)" --target "$alvo" >/dev/null
    done
}

# The machine a table was measured on: host name, processor, cores, load.
descreve_maquina() {
    local cpu
    cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
    echo "Machine: $(uname -n), ${cpu:-unknown processor}, $(nproc) cores;" \
        "load average before the run: $(cut -d ' ' -f 1-3 /proc/loadavg)."
}
