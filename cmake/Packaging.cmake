# What `cmake --install` puts where (prefix and DESTDIR honoured), and the Debian package
# CPack builds from it (`make deb`).
include(GNUInstallDirs)

set(vec_programs vectool)
if(TARGET vecsaver)
  list(PREPEND vec_programs vecsaver)
endif()
install(TARGETS ${vec_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET demo_saver)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/Demo.scr DESTINATION ${CMAKE_INSTALL_DATADIR}/vecsaver)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/man/vecsaver.1 ${PROJECT_SOURCE_DIR}/man/vectool.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/vecsaver-config.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vecsaver)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Runtime and tools for packaged picture screen savers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "vecsaver plays savers (the runtime with a package of pictures, sounds and\ndesigned windows appended) full screen, in a screen-saver daemon's window or\nas a preview, and installs them for XScreenSaver, xsecurelock and MATE.\nvectool inspects, builds and renders savers. vecstudio makes water pictures\nby painting their water areas over a photo.")
set(CPACK_PACKAGE_CONTACT "vecsaver team <vecsaver@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "vecsaver team <vecsaver@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# MIDI music needs a General MIDI sound font, which no library dependency brings in; Qt's
# platform plugins are only recommended by the Qt libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont, qt6-qpa-plugins")
# The studio's icon is an SVG, drawn by Qt's SVG plugins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# No stripping: the demo saver is a program with its package appended, which strip would cut.
include(CPack)
