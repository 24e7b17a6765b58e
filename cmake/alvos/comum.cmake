# Shared by the toolchain files beside it, each of which names its target first:
#   alvo_triplet  the GNU triplet of Debian's cross compiler (arm-linux-gnueabihf)
#   alvo_qemu     the qemu-user emulator that runs the target's binaries here
#   alvo_cpu      CMAKE_SYSTEM_PROCESSOR
#   alvo_multiarch  the folder of Debian's multiarch libraries for the target,
#                 /usr/lib/<this>, when it is not the triplet (i386-linux-gnu)
# The target's libraries and headers are looked for only under the cross
# compiler's folder, /usr/<triplet>: none of the build machine's fits. Programs
# (the emulator, python3, lintian) are the build machine's own. Target binaries
# run under the emulator: ctest, GoogleTest's discovery and the program
# sessions all go through it. It takes the target's libraries from Debian's
# multiarch packages (libc6:armhf...) when they are installed, as a package
# build needs them anyway, else from the cross compiler's folder. Never both:
# the cross compiler's loader with the multiarch libraries' cache crashes at
# the first thread.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${alvo_cpu})
set(CMAKE_C_COMPILER ${alvo_triplet}-gcc) # GoogleTest's sources ask for C as well
set(CMAKE_CXX_COMPILER ${alvo_triplet}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${alvo_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(NOT DEFINED alvo_multiarch)
  set(alvo_multiarch ${alvo_triplet})
endif()
if(EXISTS /usr/lib/${alvo_multiarch}/libc.so.6 OR EXISTS /lib/${alvo_multiarch}/libc.so.6)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/${alvo_qemu})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/${alvo_qemu} -L /usr/${alvo_triplet})
endif()
