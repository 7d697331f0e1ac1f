# cmake -DBUILD=DIR -DPREFIX=DIR -P installs_exactly.cmake: installs the build into an
# empty PREFIX and fails unless exactly the player's files land there, the program
# runnable and the same as the one built.
set(expected
    bin/knotwerry
    share/applications/io.github.knotwerry.knotwerry.desktop
    share/icons/hicolor/128x128/apps/knotwerry.png
    share/icons/hicolor/256x256/apps/knotwerry.png
    share/icons/hicolor/48x48/apps/knotwerry.png
    share/man/man6/knotwerry.6.gz
    share/metainfo/io.github.knotwerry.knotwerry.metainfo.xml)

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(failed)
  message(FATAL_ERROR "cmake --install failed:\n${log}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
if(NOT installed STREQUAL expected)
  list(JOIN installed "\n  " got)
  list(JOIN expected "\n  " wanted)
  message(FATAL_ERROR "installed:\n  ${got}\nexpected:\n  ${wanted}")
endif()

execute_process(COMMAND test -x ${PREFIX}/bin/knotwerry RESULT_VARIABLE notRunnable)
file(SHA256 ${PREFIX}/bin/knotwerry installedHash)
file(SHA256 ${BUILD}/knotwerry builtHash)
if(notRunnable OR NOT installedHash STREQUAL builtHash)
  message(FATAL_ERROR "bin/knotwerry is not the program as built, or not executable")
endif()
message(STATUS "installed exactly: ${installed}")
