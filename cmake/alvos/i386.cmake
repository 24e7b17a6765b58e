# Debian's i386: 32-bit x86.
# cmake -S . -B build-i386 --toolchain cmake/alvos/i386.cmake
set(alvo_triplet i686-linux-gnu)
set(alvo_qemu qemu-i386)
set(alvo_cpu i686)
set(alvo_multiarch i386-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/comum.cmake)
