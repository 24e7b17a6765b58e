# Installs the three programs and their manual pages where a Linux system keeps
# them, and packs the same files as a Debian package (the package target, or
# cpack -G DEB in the build folder).
include(GNUInstallDirs)

install(TARGETS user halver halver_alloc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages are installed compressed, as Debian keeps them; a page that only
# holds ".so" names the page it shows.
find_program(GZIP gzip REQUIRED)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
set(paginas_comprimidas "")
foreach(pagina user.1 halver.1 halver_alloc.1)
  set(fonte ${PROJECT_SOURCE_DIR}/man/${pagina})
  set(comprimida ${PROJECT_BINARY_DIR}/man/${pagina}.gz)
  add_custom_command(OUTPUT ${comprimida}
    COMMAND ${GZIP} -9 -n -c ${fonte} > ${comprimida}
    DEPENDS ${fonte}
    COMMENT "Compressing the manual page ${pagina}"
    VERBATIM)
  list(APPEND paginas_comprimidas ${comprimida})
endforeach()
add_custom_target(paginas_de_manual ALL DEPENDS ${paginas_comprimidas})
install(FILES ${paginas_comprimidas} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME programas-de-console)
set(CPACK_PACKAGE_CONTACT "Mantenedores <mantenedores@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "three interactive console programs in Portuguese")
set(CPACK_PACKAGE_DESCRIPTION "user keeps a double-ended queue of integers and works on it through a numbered
menu on a cleared screen. halver and halver_alloc read a count and then a number
and a name for each record, halve the even numbers and print the results.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# user clears the screen with the clear command; dpkg-shlibdeps adds the
# libraries the programs link against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS ncurses-bin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
