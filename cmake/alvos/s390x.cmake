# Debian's s390x: IBM Z, 64-bit and big-endian.
# cmake -S . -B build-s390x --toolchain cmake/alvos/s390x.cmake
set(alvo_triplet s390x-linux-gnu)
set(alvo_qemu qemu-s390x)
set(alvo_cpu s390x)
include(${CMAKE_CURRENT_LIST_DIR}/comum.cmake)
