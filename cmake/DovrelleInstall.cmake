# Where `cmake --install` puts everything, in the usual Linux layout under the prefix:
#   bin/dovrelle, bin/oraemu                the program and the oraemu tool
#   lib/dovrelle/liboraemu.so              oraemu's OCI library (loaded only through DOVRELLE_OCI_LIBRARY)
#   share/doc/dovrelle/                    the user guides and their images (Help opens them),
#                                          the copyright and the changelog
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

# The package's copyright and changelog, where Debian keeps them (the changelog compressed).
set(packaged_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${packaged_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${CMAKE_COMMAND} -E copy ${DOVRELLE_PACKAGING_DIR}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/packaging/changelog
  DEPENDS ${DOVRELLE_PACKAGING_DIR}/changelog
  COMMENT "Compressing the package changelog")
add_custom_target(dovrelle_changelog ALL DEPENDS ${packaged_changelog})
install(FILES ${DOVRELLE_PACKAGING_DIR}/copyright ${packaged_changelog} DESTINATION ${DOVRELLE_INSTALL_DOC_DIR})

# The Debian package. dpkg-shlibdeps names the libraries the programs link (Qt, MariaDB
# Connector/C, SQLite, the C and C++ run-time) with their versions; Depends adds only what no
# program links: Qt's platform plugins. The Chinese captions need a font with Chinese glyphs, and
# Qt's own translations give its standard buttons and boxes their Chinese texts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dovrelle)
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wizard that moves a MySQL database into an Oracle schema")
# Debian wants the extended description in lines of at most 80 characters.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Dovrelle converts MySQL and MariaDB tables into Oracle tables with keys,
indexes and rows, from a six-page wizard or unattended from a settings file.
It includes oraemu, an Oracle-compatible stand-in over SQLite for trying it
without an Oracle server.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvane Database Software <dovrelle@korvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei | fonts-noto-cjk, qt6-translations-l10n | qttranslations6-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libaio1")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# liboraemu.so is private (lib/dovrelle, opened by path): no shlibs entry, and maintainer
# scripts of our own instead of CPack's, which would call ldconfig for any library under /usr/lib.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${DOVRELLE_PACKAGING_DIR}/debian/postinst ${DOVRELLE_PACKAGING_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES ON)
include(CPack)
