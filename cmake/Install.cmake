# What `cmake --install` puts where, and the Debian package `cpack -G DEB`
# makes of it: the two programs, the help page, the icon and the desktop
# entry under the usual prefix folders.
include(GNUInstallDirs)

install(TARGETS rpv rpvmark RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(RPV_BUILD_GUI)
  # The reader finds it at prefix/share/rpv/ relative to prefix/bin/rpv.
  install(FILES ${RPV_HELP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/rpv)
  install(FILES ${PROJECT_SOURCE_DIR}/data/rpv.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/data/rpv.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

set(CPACK_PACKAGE_NAME rpv)
set(CPACK_PACKAGE_VENDOR "rpv project")
set(CPACK_PACKAGE_CONTACT "rpv project <rpv@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "page-at-a-time reader for Japanese text")
set(CPACK_PACKAGE_DESCRIPTION
  "rpv shows plain-text and HTML books one page at a time, in vertical or
horizontal writing, with ruby, tate-chu-yoko, kinsoku line breaking, columns,
headers and footers. rpvmark converts bookmarks of the older format.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
# Libraries from the programs themselves (Debian's libqt6gui6 carries the
# X11 platform plugin, which XWayland serves too). The Japanese fonts, the
# desktop opener and native Wayland are not linked, so recommended by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, xdg-utils, qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
