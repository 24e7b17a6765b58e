# Debian's arm64: 64-bit ARM, where plain char is unsigned.
# cmake -S . -B build-arm64 --toolchain cmake/alvos/arm64.cmake
set(alvo_triplet aarch64-linux-gnu)
set(alvo_qemu qemu-aarch64)
set(alvo_cpu aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/comum.cmake)
