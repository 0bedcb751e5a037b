# Run by CPack after it built the packages (CPACK_POST_BUILD_SCRIPTS): rebuilds the
# -dbgsym .ddeb as Debian's own debug packages are. CPack 3.25 writes the absolute paths of
# its staging folder into the .ddeb's md5sums and gives it no documentation folder; the
# rebuilt one lists the files relative to the root, has the .debug files not executable, and
# links usr/share/doc/NAME-dbgsym to the documentation (copyright, changelog) of the package
# it belongs to.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(ddeb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT ddeb MATCHES "\\.ddeb$")
    continue()
  endif()
  set(tree ${ddeb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${DPKG_DEB} --raw-extract ${ddeb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${DPKG_DEB} --field ${ddeb} Package OUTPUT_VARIABLE name
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE "-dbgsym$" "" main ${name})

  file(GLOB_RECURSE debug_files RELATIVE ${tree} ${tree}/usr/*)
  list(SORT debug_files)
  set(sums "")
  foreach(f IN LISTS debug_files)
    file(CHMOD ${tree}/${f} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 ${tree}/${f} sum)
    string(APPEND sums "${sum}  ${f}\n")
  endforeach()
  file(WRITE ${tree}/DEBIAN/md5sums "${sums}")

  file(MAKE_DIRECTORY ${tree}/usr/share/doc)
  file(CREATE_LINK ${main} ${tree}/usr/share/doc/${name} SYMBOLIC)
  file(REMOVE ${ddeb})
  execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zxz --build ${tree} ${ddeb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
