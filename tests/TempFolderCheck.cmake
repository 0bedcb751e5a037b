# The suite's temporary folders: ctest gives every test program a TMPDIR of its own under
# ROOT (tests/CMakeLists.txt). MODE=prepare, run before the first test, makes them fresh and
# empty; MODE=check, run after the last, fails naming whatever a program left behind.
#   cmake -DMODE=prepare|check -DROOT=<folder> -DPROGRAMS=<a,b,...> -P TempFolderCheck.cmake
if(NOT ROOT OR NOT PROGRAMS)
  message(FATAL_ERROR "TempFolderCheck: ROOT and PROGRAMS are needed")
endif()
string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")

if(MODE STREQUAL "prepare")
  file(REMOVE_RECURSE "${ROOT}")
  foreach(program IN LISTS PROGRAMS)
    file(MAKE_DIRECTORY "${ROOT}/${program}")
  endforeach()
elseif(MODE STREQUAL "check")
  set(left "")
  foreach(program IN LISTS PROGRAMS)
    # LIST_DIRECTORIES also lists hidden names; RELATIVE keeps the message short.
    file(GLOB entries LIST_DIRECTORIES true RELATIVE "${ROOT}/${program}" "${ROOT}/${program}/*"
         "${ROOT}/${program}/.*")
    list(REMOVE_ITEM entries "." "..")
    foreach(entry IN LISTS entries)
      string(APPEND left "\n  ${program}: ${entry}")
    endforeach()
  endforeach()
  if(left)
    message(FATAL_ERROR "Tests left these in their temporary folder (${ROOT}):${left}")
  endif()
  message(STATUS "No test left anything in ${ROOT}")
else()
  message(FATAL_ERROR "TempFolderCheck: MODE is prepare or check")
endif()
