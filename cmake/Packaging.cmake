# What `cmake --install` puts where (prefix and DESTDIR honoured), and the Debian package
# CPack builds from it (`make deb`, from the release build in build-release/).
#
# The programs and the demo saver live in lib/vecsaver/ (vectool finds vecsaver beside
# itself there), with links from bin/; the manual pages are compressed, and the package's
# documentation folder holds the copyright file and the Debian changelog.
include(GNUInstallDirs)

set(VEC_PROGRAM_DIR lib/vecsaver)
set(vec_deb_release 1)
set(vec_deb_version ${PROJECT_VERSION}-${vec_deb_release})
set(vec_maintainer "vecsaver team <vecsaver@example.org>")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(vec_programs vectool)
if(TARGET vecsaver)
  list(PREPEND vec_programs vecsaver)
endif()
install(TARGETS ${vec_programs} RUNTIME DESTINATION ${VEC_PROGRAM_DIR})
set(links ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${links})
foreach(p ${vec_programs})
  file(CREATE_LINK ../${VEC_PROGRAM_DIR}/${p} ${links}/${p} SYMBOLIC)
  install(FILES ${links}/${p} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
if(TARGET demo_saver)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/Demo.scr DESTINATION ${VEC_PROGRAM_DIR})
endif()

# The manual pages and the changelog, compressed without name or time stamp (gzip -n) so that
# two builds of one source give the same files.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(docs ${CMAKE_BINARY_DIR}/install-docs)
set(compressed)
foreach(page vecsaver.1 vectool.1)
  add_custom_command(OUTPUT ${docs}/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/man/${page} ${docs}/${page}
    COMMAND ${GZIP_PROGRAM} -9nf ${docs}/${page}
    DEPENDS ${PROJECT_SOURCE_DIR}/man/${page})
  list(APPEND compressed ${docs}/${page}.gz)
  install(FILES ${docs}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in
               ${CMAKE_BINARY_DIR}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${docs}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/changelog.Debian ${docs}/changelog.Debian
  COMMAND ${GZIP_PROGRAM} -9nf ${docs}/changelog.Debian
  DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian)
list(APPEND compressed ${docs}/changelog.Debian.gz)
add_custom_target(package_files ALL DEPENDS ${compressed})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/vecsaver-config.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
              ${docs}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vecsaver)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${vec_deb_release})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "runtime and tools for packaged picture screen savers")
# CPack puts the summary in front as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "vecsaver plays savers (the runtime with a package of pictures, sounds and\n"
    "designed windows appended) full screen, in a screen-saver daemon's window or\n"
    "as a preview, and installs them for XScreenSaver, xsecurelock and MATE.\n"
    "vectool inspects, builds and renders savers. A demo saver is included.\n"
    "vecstudio makes water pictures by painting their water areas over a photo.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "${vec_maintainer}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${vec_maintainer}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# MIDI music needs a General MIDI sound font, which no library dependency brings in; Qt's
# platform plugins are only recommended by the Qt libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont, qt6-qpa-plugins")
# The web and mail links of the designed windows open through xdg-open and xdg-email.
# The studio's icon is an SVG, drawn by Qt's SVG plugins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libqt6svg6")
# The daemons a saver installs itself for.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xsecurelock | mate-screensaver")
# The programs are stripped into the package; their debugging information goes by build ID
# into vecsaver-dbgsym (a .ddeb beside the .deb). The demo saver is stripped before its
# package is appended (VEC_STRIPPED_DEMO), so CPack leaves it alone.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/FixDebugPackage.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
include(CPack)
