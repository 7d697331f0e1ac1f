# The compiler flags every build shares: C++17, warnings (errors with KNOTWERRY_WERROR),
# the sanitizers on request, hardening on Linux, and no build path in what is compiled.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

option(KNOTWERRY_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
if(KNOTWERRY_WERROR)
  add_compile_options(-Werror)
endif()

# Everything built with AddressSanitizer and UndefinedBehaviorSanitizer, which end the
# process at their first report.
option(KNOTWERRY_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KNOTWERRY_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The same bytes from any folder: no build path in what is compiled.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

# Hardening, on Linux: a position-independent executable, the flags the environment
# gives (CFLAGS, CXXFLAGS and LDFLAGS, as a distribution's build passes them; CMake
# takes them in at the first configure), and where dpkg-buildflags is installed, the
# flags it gives for hardening=+all on the architecture built for (DEB_HOST_ARCH when
# cross-building): full RELRO with immediate binding, the stack protector and
# fortified libc calls (which need the optimiser, so not in Debug builds). Its
# optimisation and debug flags are left to the build type. KNOTWERRY_DPKG_BUILDFLAGS
# is AUTO (when installed), ON (required: the Debian package) or OFF.
# KNOTWERRY_HARDENING collects every hardening flag in use, for the binary check
# (tools/binary_check.sh), which reads them from hardening-flags.txt.
option(KNOTWERRY_HARDEN "Build hardened on Linux" ON)
set(KNOTWERRY_DPKG_BUILDFLAGS AUTO CACHE STRING "Take dpkg-buildflags' hardening flags: AUTO, ON or OFF")
set_property(CACHE KNOTWERRY_DPKG_BUILDFLAGS PROPERTY STRINGS AUTO ON OFF)
set(KNOTWERRY_HARDENING "")
if(KNOTWERRY_HARDEN AND CMAKE_SYSTEM_NAME STREQUAL Linux)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  if(CMAKE_CXX_LINK_PIE_SUPPORTED)
    list(APPEND KNOTWERRY_HARDENING -fPIE -pie)
  endif()
  separate_arguments(given UNIX_COMMAND "${CMAKE_CXX_FLAGS} ${CMAKE_EXE_LINKER_FLAGS}")
  list(APPEND KNOTWERRY_HARDENING ${given})

  if(KNOTWERRY_DPKG_BUILDFLAGS STREQUAL ON)
    find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  elseif(KNOTWERRY_DPKG_BUILDFLAGS STREQUAL AUTO)
    find_program(DPKG_BUILDFLAGS dpkg-buildflags)
    if(NOT DPKG_BUILDFLAGS)
      message(STATUS "dpkg-buildflags is not installed: hardened only by the flags the environment and the compiler give")
    endif()
  endif()
  if(DPKG_BUILDFLAGS AND NOT KNOTWERRY_DPKG_BUILDFLAGS STREQUAL OFF)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
      separate_arguments(flags UNIX_COMMAND "${flags}")
      list(FILTER flags EXCLUDE REGEX "^(-g.*|-O.*|-ffile-prefix-map=.*)$")
      foreach(flag IN LISTS flags)
        if(flag MATCHES "^-D_FORTIFY_SOURCE=")
          if(NOT KNOTWERRY_SANITIZE)  # the sanitizers check those calls themselves
            add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
            if(NOT CMAKE_BUILD_TYPE STREQUAL Debug)
              list(APPEND KNOTWERRY_HARDENING ${flag})
            endif()
          endif()
        elseif(kind STREQUAL LDFLAGS)
          add_link_options(${flag})
          list(APPEND KNOTWERRY_HARDENING ${flag})
        else()
          add_compile_options(${flag})
          list(APPEND KNOTWERRY_HARDENING ${flag})
        endif()
      endforeach()
    endforeach()
  endif()
endif()
list(JOIN KNOTWERRY_HARDENING " " hardening)
file(WRITE ${PROJECT_BINARY_DIR}/hardening-flags.txt "${hardening}\n")
