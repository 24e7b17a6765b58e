# Included by cpack just before it makes the package. CPack's DEB generator
# gives every file and member of the package the time in SOURCE_DATE_EPOCH, from
# the environment. When that is not set, it is taken here from the sources'
# last commit or, outside a git checkout, from the changelog's latest entry, so
# that two builds of the same sources give the same package, byte for byte.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(instante "")
  find_program(GIT git)
  if(GIT)
    execute_process(COMMAND ${GIT} -C ${CPACK_FONTES_DO_PROJETO} log -1 --format=%ct
      OUTPUT_VARIABLE instante OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT instante MATCHES "^[0-9]+$")
    execute_process(COMMAND dpkg-parsechangelog -l ${CPACK_FONTES_DO_PROJETO}/pacote/changelog
                            -S Timestamp
      OUTPUT_VARIABLE instante OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT instante MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No time for the package's files: SOURCE_DATE_EPOCH is not set, and "
                        "neither git nor dpkg-parsechangelog gave one")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${instante})
endif()

# dpkg-shlibdeps, which cpack runs, looks for the libraries of the package's
# architecture when it is the target's of a cross build.
if(NOT CPACK_ARQUITETURA_DO_ALVO STREQUAL "")
  set(ENV{DEB_HOST_ARCH} ${CPACK_ARQUITETURA_DO_ALVO})
endif()
