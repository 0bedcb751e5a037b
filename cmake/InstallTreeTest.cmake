# Installs the build into a scratch folder through DESTDIR and runs the installed vectool on
# the installed demo saver. Run as: cmake -DBUILD_DIR=... -DSCRATCH=... -P InstallTreeTest.cmake
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${SCRATCH}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /opt/vec
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(root ${SCRATCH}/opt/vec)
foreach(f lib/vecsaver/vecsaver lib/vecsaver/vectool lib/vecsaver/Demo.scr
          share/man/man1/vecsaver.1.gz share/man/man1/vectool.1.gz
          share/applications/vecsaver-config.desktop share/doc/vecsaver/README.md
          share/doc/vecsaver/copyright share/doc/vecsaver/changelog.Debian.gz
          bin/vecstudio share/applications/vecstudio.desktop
          share/icons/hicolor/scalable/apps/vecstudio.svg)
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# The commands users type are links into lib/vecsaver/, where vectool finds vecsaver.
foreach(p vecsaver vectool)
  file(READ_SYMLINK ${root}/bin/${p} target)
  if(NOT target STREQUAL "../lib/vecsaver/${p}")
    message(FATAL_ERROR "bin/${p} is not a link to ../lib/vecsaver/${p}: '${target}'")
  endif()
endforeach()
execute_process(COMMAND ${root}/bin/vectool info --json ${root}/lib/vecsaver/Demo.scr
                RESULT_VARIABLE rc OUTPUT_VARIABLE json ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT json MATCHES "\"ProductName\": *\"Demo Saver\"")
  message(FATAL_ERROR "the installed vectool cannot read the installed demo saver: ${rc} ${err}\n${json}")
endif()
file(REMOVE_RECURSE ${SCRATCH})
