# Debian's armhf: 32-bit ARM (ARMv7, hard float), where plain char is unsigned.
# cmake -S . -B build-armhf --toolchain cmake/alvos/armhf.cmake
set(alvo_triplet arm-linux-gnueabihf)
set(alvo_qemu qemu-arm)
set(alvo_cpu arm)
include(${CMAKE_CURRENT_LIST_DIR}/comum.cmake)
