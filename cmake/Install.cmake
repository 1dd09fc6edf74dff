# Installing the program as a desktop program (the executable, its menu entry, icons,
# metainfo and man page) and packaging it as a Debian package with CPack.
include(GNUInstallDirs)

# The installed program keeps its files per user even where its user may write the folder it
# was installed to (root and /usr/bin).
set_source_files_properties(
  ${PROJECT_SOURCE_DIR}/src/app/app_paths.cpp DIRECTORY ${PROJECT_SOURCE_DIR}/src/app
  PROPERTIES COMPILE_DEFINITIONS FUNDVIEW_INSTALL_BINDIR="${CMAKE_INSTALL_FULL_BINDIR}")

set(res ${PROJECT_SOURCE_DIR}/resources)
install(TARGETS fundview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The process that shows the embedded web page; the program looks for it here.
install(TARGETS fundview-page RUNTIME DESTINATION ${FUNDVIEW_PAGE_INSTALL_DIR})
install(FILES ${res}/fundview.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${res}/fundview.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
  install(FILES ${res}/icons/fundview-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME fundview.png)
endforeach()
install(FILES ${res}/icons/fundview.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Compressed as Debian installs manual pages and change logs (a package of its own sources,
# so the change log is changelog.gz); -n leaves out the time stamp so
# the same sources give the same bytes.
set(pkgdoc ${CMAKE_CURRENT_BINARY_DIR}/pkgdoc)
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(FUNDVIEW_CHANGELOG_DATE ${changelog_date})
configure_file(${res}/debian/changelog.in ${pkgdoc}/changelog @ONLY)
add_custom_command(
  OUTPUT ${pkgdoc}/fundview.1.gz ${pkgdoc}/changelog.gz
  COMMAND gzip -9n -c ${res}/fundview.1 > ${pkgdoc}/fundview.1.gz
  COMMAND gzip -9n -c ${pkgdoc}/changelog > ${pkgdoc}/changelog.gz
  DEPENDS ${res}/fundview.1 ${pkgdoc}/changelog
  VERBATIM)
add_custom_target(fundview_docs ALL DEPENDS ${pkgdoc}/fundview.1.gz ${pkgdoc}/changelog.gz)
install(FILES ${pkgdoc}/fundview.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${res}/debian/copyright ${pkgdoc}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fundview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "fundview maintainers <maintainers@users.noreply.c-seed-b37901b5.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browse public mutual-fund data")
# CPack puts the summary on the first line and indents these lines under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A desktop program with a Chinese interface for browsing public mutual-fund\n"
    "data from a fund-data portal: ranking lists, five-star funds, sector and\n"
    "theme boards, search as you type, each fund's profile and top-ten holdings,\n"
    "a two-fund yield chart, a watchlist, and an export of the fund grid to an\n"
    "Excel 97-2003 workbook.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries linked in come from dpkg-shlibdeps; Qt's platform plugins are loaded at run
# time, so the one that shows windows is named here. The CJK font draws the Chinese interface.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
