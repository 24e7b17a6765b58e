# Installs the three programs and their manual pages where a Linux system keeps
# them, and packs the same files as a Debian package (the package target, or
# cpack -G DEB in the build folder).
include(GNUInstallDirs)

install(TARGETS user halver halver_alloc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped program (cmake --install --strip, and the package) also loses the
# compiler's version note, as Debian's own packaging tools strip it.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(programa user halver halver_alloc)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${programa}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

# Manual pages are installed compressed, as Debian keeps them; a page that is
# a link to another (halver_alloc.1 shows halver.1) is installed as a link to
# the other's compressed page.
find_program(GZIP gzip REQUIRED)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
set(paginas_comprimidas "")
foreach(pagina user.1 halver.1 halver_alloc.1)
  set(fonte ${PROJECT_SOURCE_DIR}/man/${pagina})
  set(comprimida ${PROJECT_BINARY_DIR}/man/${pagina}.gz)
  if(IS_SYMLINK ${fonte})
    file(READ_SYMLINK ${fonte} destino)
    add_custom_command(OUTPUT ${comprimida}
      COMMAND ${CMAKE_COMMAND} -E create_symlink ${destino}.gz ${comprimida}
      DEPENDS ${PROJECT_BINARY_DIR}/man/${destino}.gz
      COMMENT "Linking the manual page ${pagina} to ${destino}"
      VERBATIM)
  else()
    add_custom_command(OUTPUT ${comprimida}
      COMMAND ${GZIP} -9 -n -c ${fonte} > ${comprimida}
      DEPENDS ${fonte}
      COMMENT "Compressing the manual page ${pagina}"
      VERBATIM)
  endif()
  list(APPEND paginas_comprimidas ${comprimida})
endforeach()
add_custom_target(paginas_de_manual ALL DEPENDS ${paginas_comprimidas})
install(FILES ${paginas_comprimidas} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence, as Debian's machine-readable copyright file made from LICENSE,
# and the changelog, compressed, where Debian keeps a package's documents.
set(copyright ${PROJECT_BINARY_DIR}/pacote/copyright)
set(changelog ${PROJECT_BINARY_DIR}/pacote/changelog.gz)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/pacote)
add_custom_command(OUTPUT ${copyright}
  COMMAND ${CMAKE_COMMAND} -DLICENCA=${PROJECT_SOURCE_DIR}/LICENSE
          -DMODELO=${PROJECT_SOURCE_DIR}/pacote/copyright.in -DSAIDA=${copyright}
          -P ${PROJECT_SOURCE_DIR}/cmake/copyright.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/pacote/copyright.in
          ${PROJECT_SOURCE_DIR}/cmake/copyright.cmake
  COMMENT "Writing the package's copyright file"
  VERBATIM)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/pacote/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/pacote/changelog
  COMMENT "Compressing the package's changelog"
  VERBATIM)
add_custom_target(documentos_do_pacote ALL DEPENDS ${copyright} ${changelog})
install(FILES ${copyright} ${changelog}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/programas-de-console)

# The package's maintainer, "Name <address>": MANTENEDOR_DO_PACOTE when set,
# else Debian's convention, DEBFULLNAME and DEBEMAIL from the environment (a
# DEBEMAIL of the form "Name <address>" gives the name when DEBFULLNAME is
# not set). Only without them is it a placeholder, with a line that says so.
set(MANTENEDOR_DO_PACOTE "" CACHE STRING
    "The Debian package's maintainer, \"Name <address>\" (default: $DEBFULLNAME <$DEBEMAIL>)")
set(mantenedor "${MANTENEDOR_DO_PACOTE}")
if(mantenedor STREQUAL "")
  set(nome "$ENV{DEBFULLNAME}")
  set(endereco "$ENV{DEBEMAIL}")
  if(endereco MATCHES "^(.*[^ ]) *<([^<>]*)>$")
    if(nome STREQUAL "")
      set(nome "${CMAKE_MATCH_1}")
    endif()
    set(endereco "${CMAKE_MATCH_2}")
  endif()
  if(NOT nome STREQUAL "" AND NOT endereco STREQUAL "")
    set(mantenedor "${nome} <${endereco}>")
  else()
    set(mantenedor "Mantenedores <mantenedores@example.org>")
    if(nome STREQUAL "" AND endereco STREQUAL "")
      set(falta "MANTENEDOR_DO_PACOTE, DEBFULLNAME and DEBEMAIL are not set")
    elseif(nome STREQUAL "")
      set(falta "DEBEMAIL gives no name and DEBFULLNAME is not set")
    else()
      set(falta "DEBFULLNAME is set but DEBEMAIL is not")
    endif()
    message(STATUS "Package maintainer: the placeholder ${mantenedor} (${falta})")
  endif()
endif()
# One line of the control file: a line end would start a field of its own.
if(NOT mantenedor MATCHES "^[^<>\n]*[^<> \n] <[^<> \n]+@[^<> \n]+>$")
  message(FATAL_ERROR "Package maintainer \"${mantenedor}\" is not of the form \"Name <address>\"")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME programas-de-console)
set(CPACK_PACKAGE_CONTACT "${mantenedor}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "three interactive console programs in Portuguese")
# Each line of the long description fits 80 columns in the package's control
# file, where it is indented by one space.
set(CPACK_PACKAGE_DESCRIPTION "user keeps a double-ended queue of integers and works on it through a
numbered menu on a cleared screen. halver and halver_alloc read a count, then
a number and a name for each record, halve the even numbers and print the
results.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the programs link against. The clear
# command that user runs comes from ncurses-bin, which is essential: always
# installed, so never named as a dependency.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# A cross build's package is the target's: its architecture is what Debian
# calls the cross compiler's triplet, and dpkg-shlibdeps looks for the
# libraries of that architecture (libc6:armhf, installed beside the build
# machine's own). A native build takes dpkg's own architecture.
set(CPACK_ARQUITETURA_DO_ALVO "")
if(CMAKE_CROSSCOMPILING)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine
    OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND dpkg-architecture -t ${triplet} -qDEB_HOST_ARCH
    OUTPUT_VARIABLE CPACK_ARQUITETURA_DO_ALVO OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(CPACK_ARQUITETURA_DO_ALVO STREQUAL "")
    message(STATUS "Package: no Debian architecture for the target ${triplet} (dpkg-dev); "
                   "the package target is left as it is")
  else()
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${CPACK_ARQUITETURA_DO_ALVO})
  endif()
endif()
# The time of the package's files, taken when cpack runs (data_do_pacote.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/data_do_pacote.cmake)
set(CPACK_FONTES_DO_PROJETO ${PROJECT_SOURCE_DIR})
include(CPack)
