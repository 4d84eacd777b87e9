# Installation and the Debian package (cpack -G DEB in the build directory).
#
#   /usr/bin/pelorin              launcher: the menu start works in a per-user folder
#   /usr/bin/pelorin-cli          the headless tool
#   /usr/lib/pelorin/pelorin      the desktop program itself
#   /usr/share/pelorin/help/      the help pages, copied into the per-user folder
#   /usr/share/pelorin/samples/   the sample card
include(GNUInstallDirs)

install(TARGETS pelorin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pelorin/samples
        FILES_MATCHING PATTERN "*.LOG" PATTERN "README.md")

set(PELORIN_MAN_PAGE ${CMAKE_BINARY_DIR}/pelorin-cli.1.gz)
add_custom_command(OUTPUT ${PELORIN_MAN_PAGE}
  COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/packaging/pelorin-cli.1 > ${PELORIN_MAN_PAGE}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/pelorin-cli.1)
add_custom_target(man_page ALL DEPENDS ${PELORIN_MAN_PAGE})
install(FILES ${PELORIN_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(PELORIN_HAVE_GUI)
  install(TARGETS pelorin RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/pelorin)
  install(PROGRAMS packaging/pelorin-launcher.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME pelorin)
  install(FILES ${PELORIN_HELP_PAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/pelorin/help)
  install(FILES packaging/pelorin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/pelorin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

  add_executable(pelorin-icons src/shell/tools/icons_main.cpp)
  target_link_libraries(pelorin-icons PRIVATE pelorin_shell)
  target_compile_options(pelorin-icons PRIVATE ${PELORIN_WARNINGS})
  set(PELORIN_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
  add_custom_command(OUTPUT ${PELORIN_ICON_DIR}/256x256/apps/pelorin.png
    COMMAND pelorin-icons ${PELORIN_ICON_DIR}
    DEPENDS pelorin-icons
    COMMENT "Rendering the icon sizes into ${PELORIN_ICON_DIR}")
  add_custom_target(icons ALL DEPENDS ${PELORIN_ICON_DIR}/256x256/apps/pelorin.png)
  install(DIRECTORY ${PELORIN_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VENDOR "The Pelorin contributors")
set(CPACK_PACKAGE_CONTACT "The Pelorin contributors <pelorin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "AIS transponder SD-card logs to KML tracks and ship lists")
set(CPACK_PACKAGE_DESCRIPTION
  "Pelorin reads the NMEA logs an AIS transponder writes to its SD card, lets you pick a
time window on calendars that mark the days with data, and writes the vessels' tracks as
a time-stamped KML document for a globe viewer, or a ship list exported to a workbook.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded at run time,
# so no library reference names them, and the Track Replay window reads its land from
# Marble's Natural Earth data.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, marble-qt-data")
set(CPACK_STRIP_FILES ON)
include(CPack)
