# A directory of systemd's (SORVANE_SYSTEMD_*_DIR, SORVANE_SYSUSERS_DIR):
# where systemd.pc says, when that is under the prefix; otherwise (no
# pkg-config or no systemd.pc, another prefix, or Debian 12's
# /lib/systemd/system beside a /usr prefix) the fallback, the place under
# the prefix that systemd also reads. Never CMAKE_INSTALL_LIBDIR: systemd
# reads lib/, not lib64/ or lib/<triplet>.

find_package(PkgConfig QUIET)

# sorvane_systemd_dir_default(<out> <systemd.pc variable> <fallback>):
# the directory relative to CMAKE_INSTALL_PREFIX.
function(sorvane_systemd_dir_default out pc_variable fallback)
  set(dir "${fallback}")
  if(PKG_CONFIG_FOUND)
    pkg_get_variable(answer systemd "${pc_variable}")
    if(answer)
      cmake_path(IS_PREFIX CMAKE_INSTALL_PREFIX "${answer}" NORMALIZE under_prefix)
      cmake_path(RELATIVE_PATH answer BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" OUTPUT_VARIABLE relative)
      if(under_prefix AND NOT relative STREQUAL ".")
        set(dir "${relative}")
      endif()
    endif()
  endif()
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

# sorvane_systemd_dir(<variable> <systemd.pc variable> <fallback> <description>):
# the cache variable, relative to the prefix or absolute, that a packager
# may set instead.
function(sorvane_systemd_dir variable pc_variable fallback description)
  if(NOT DEFINED CACHE{${variable}})
    sorvane_systemd_dir_default(dir "${pc_variable}" "${fallback}")
    set(${variable} "${dir}" CACHE STRING "${description}")
  endif()
endfunction()
