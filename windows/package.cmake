# What a player downloads: a portable zip of the program with a short text on how to
# play, and an installer made with NSIS (Start-menu shortcut, an entry among the
# installed programs, an uninstaller). Both through CPack: cpack -G ZIP, cpack -G NSIS.

# The text on how to play: the guide to playing as plain text, put in place of the
# template's marker line by tools/guide, in Windows' line endings.
set(guide_source ${PROJECT_SOURCE_DIR}/docs/how-to-play.md)
set(how_to_play ${CMAKE_CURRENT_BINARY_DIR}/how-to-play.txt)
configure_file(how-to-play.txt.in ${how_to_play}.in @ONLY)
add_custom_command(
  OUTPUT ${how_to_play}
  COMMAND guide ${guide_source} fill ${how_to_play}.in ${how_to_play}
  COMMAND ${CMAKE_COMMAND} -DFILE=${how_to_play} -P ${CMAKE_CURRENT_SOURCE_DIR}/crlf.cmake
  DEPENDS guide ${guide_source} ${how_to_play}.in crlf.cmake
  COMMENT "Writing how-to-play.txt")
add_custom_target(how_to_play ALL DEPENDS ${how_to_play})

set(CPACK_PACKAGE_NAME knotwerry)
set(CPACK_PACKAGE_VENDOR "Knotwerry maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A puzzle: restore a knot of white points on red")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Knotwerry")
# Windows file names take no colon: the shortcut is plain "Knotwerry".
set(CPACK_PACKAGE_EXECUTABLES knotwerry Knotwerry)
set(CPACK_PACKAGE_FILE_NAME knotwerry-${PROJECT_VERSION}-windows)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)

# NSIS: a 64-bit Unicode installer (the amd64-unicode stubs), which runs where 64-bit
# programs run, Wine's wine64 included.
# The installer's name is also its Start-menu folder's, which takes no colon either.
set(CPACK_NSIS_PACKAGE_NAME Knotwerry)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Knotwerry)
set(CPACK_NSIS_DISPLAY_NAME "Tavrosk: Knotwerry")
set(CPACK_NSIS_INSTALLED_ICON_NAME knotwerry.exe)
set(CPACK_NSIS_MUI_ICON ${generated}/knotwerry.ico)
set(CPACK_NSIS_MUI_UNIICON ${generated}/knotwerry.ico)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/package-config.cmake)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/package-config.cmake [=[
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME knotwerry-${CPACK_PACKAGE_VERSION}-setup)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
]=])
include(CPack)
