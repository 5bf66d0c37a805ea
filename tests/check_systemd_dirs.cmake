# Where the systemd units go for what systemd.pc answers and the prefix
# (cmake/systemd_dirs.cmake), with a stand-in pkg-config: systemd.pc's
# directory when it is under the prefix, else the fallback under the
# prefix.
#
# usage: cmake -D SOURCE_DIR=<source directory> -D WORK_DIR=<scratch directory> -P check_systemd_dirs.cmake
# The stand-in gives its version, and for a variable $SORVANE_PC_ANSWER,
# or fails as pkg-config does without systemd.pc when that is empty.
set(stand_in "${WORK_DIR}/pkg-config")
file(WRITE "${stand_in}" [[#!/bin/sh
[ "$1" = --version ] && { echo 0.29.2; exit 0; }
[ -n "$SORVANE_PC_ANSWER" ] || exit 1
printf '%s\n' "$SORVANE_PC_ANSWER"
]])
file(CHMOD "${stand_in}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(PKG_CONFIG_EXECUTABLE "${stand_in}")
include("${SOURCE_DIR}/cmake/systemd_dirs.cmake")
if(NOT PKG_CONFIG_FOUND)
  message(FATAL_ERROR "the stand-in pkg-config was not taken")
endif()

# prefix | systemd.pc's answer (- for none) | where the units go
set(rows
  "/usr|/usr/lib/systemd/user|lib/systemd/user"          # Fedora, Arch, Debian 12's user units
  "/usr|/lib/systemd/system|fallback"                    # Debian 12's system units
  "/usr/local|/usr/lib/systemd/user|fallback"            # cmake's own default prefix
  "/opt/sorvane|/usr/lib/systemd/user|fallback"
  "/|/lib/systemd/system|lib/systemd/system"
  "/usr/|/usr/lib/systemd/user|lib/systemd/user"
  "/usr|/usr2/lib/systemd/user|fallback"                 # a sibling, not under it
  "/usr|/usr|fallback"                                   # the prefix itself
  "/usr|-|fallback")                                     # no systemd.pc
set(failures 0)
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 CMAKE_INSTALL_PREFIX)
  list(GET row 1 answer)
  list(GET row 2 expected)
  if(answer STREQUAL "-")
    set(answer "")
  endif()
  set(ENV{SORVANE_PC_ANSWER} "${answer}")
  sorvane_systemd_dir_default(dir systemduserunitdir fallback)
  if(NOT dir STREQUAL expected)
    message(SEND_ERROR "prefix ${CMAKE_INSTALL_PREFIX}, systemd.pc says '${answer}': ${dir}, not ${expected}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
# Without pkg-config at all.
set(CMAKE_INSTALL_PREFIX /usr)
set(PKG_CONFIG_FOUND FALSE)
set(ENV{SORVANE_PC_ANSWER} /usr/lib/systemd/user)
sorvane_systemd_dir_default(dir systemduserunitdir fallback)
if(NOT dir STREQUAL "fallback")
  message(SEND_ERROR "without pkg-config: ${dir}, not the fallback")
  math(EXPR failures "${failures} + 1")
endif()
if(failures)
  message(FATAL_ERROR "${failures} wrong")
endif()
message(STATUS "systemd directories: as systemd.pc says under the prefix, else the fallback")
