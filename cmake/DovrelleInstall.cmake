# Where `cmake --install` puts everything, in the usual Linux layout under the prefix:
#   bin/dovrelle, bin/oraemu                the program and the oraemu tool
#   lib/dovrelle/liboraemu.so              oraemu's OCI library (loaded only through DOVRELLE_OCI_LIBRARY)
#   share/doc/dovrelle/                    the user guides and their images (Help opens them)
#   share/man/man1/                        dovrelle.1.gz, oraemu.1.gz
#   share/applications/dovrelle.desktop    the menu entry
#   share/icons/hicolor/                   the icon: scalable SVG, 48 and 256 px PNG
# and how `cpack` (scripts/package) turns that tree into a Debian package.
include(GNUInstallDirs)

set(DOVRELLE_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(DOVRELLE_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/dovrelle)

install(TARGETS dovrelle oraemu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS oraemu_oci LIBRARY DESTINATION lib/dovrelle)

file(GLOB guides CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/index*.html)
install(FILES ${guides} DESTINATION ${DOVRELLE_INSTALL_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/images DESTINATION ${DOVRELLE_INSTALL_DOC_DIR}
        FILES_MATCHING PATTERN "*.png")

# Man pages are installed compressed, as Debian expects them.
set(man_pages)
foreach(page dovrelle.1 oraemu.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E copy ${DOVRELLE_PACKAGING_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page}
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${page}
    DEPENDS ${DOVRELLE_PACKAGING_DIR}/man/${page}
    COMMENT "Compressing the man page ${page}")
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(dovrelle_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${DOVRELLE_PACKAGING_DIR}/dovrelle.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${DOVRELLE_PACKAGING_DIR}/icons/dovrelle.svg DESTINATION ${icon_dir}/scalable/apps)
foreach(size 48 256)
  install(FILES ${DOVRELLE_PACKAGING_DIR}/icons/dovrelle-${size}.png
          DESTINATION ${icon_dir}/${size}x${size}/apps RENAME dovrelle.png)
endforeach()

# The Debian package. The libraries are named explicitly; dpkg-shlibdeps adds the C and C++
# run-time libraries with their versions.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dovrelle)
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wizard that moves a MySQL database into an Oracle schema")
set(CPACK_PACKAGE_DESCRIPTION
    "Dovrelle converts MySQL and MariaDB tables into Oracle tables with keys, indexes and rows, from a six-page wizard or unattended from a settings file. It includes oraemu, an Oracle-compatible stand-in over SQLite for trying it without an Oracle server.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvane Database Software <dovrelle@korvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-qpa-plugins, libmariadb3, libsqlite3-0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libaio1")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
