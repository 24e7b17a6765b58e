# Writes the Debian package's copyright file (Debian's machine-readable format)
# from the project's LICENSE: the holders come from its "Copyright (c)" line,
# the licence text from the paragraphs after it, each line indented by one
# space and each blank line written as " .".
#
# Usage: cmake -DLICENCA=LICENSE -DMODELO=copyright.in -DSAIDA=copyright -P copyright.cmake
file(READ ${LICENCA} licenca)
if(NOT licenca MATCHES "\nCopyright \\(c\\) ([^\n]+)\n+([^\n].*[^\n])\n*$")
  message(FATAL_ERROR "${LICENCA}: no \"Copyright (c)\" line followed by the licence text")
endif()
set(DETENTORES ${CMAKE_MATCH_1})
set(texto ${CMAKE_MATCH_2})
# Twice, as each pass leaves every other line of a run of blank lines.
string(REPLACE "\n\n" "\n.\n" texto "${texto}")
string(REPLACE "\n\n" "\n.\n" texto "${texto}")
string(REPLACE "\n" "\n " TEXTO " ${texto}")
configure_file(${MODELO} ${SAIDA} @ONLY)
