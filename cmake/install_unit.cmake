# Run by `cmake --install` and CPack, not at configure time: a unit names
# the installed programs by full path, and the prefix is known for sure
# only now (`--prefix`, or CPack's /usr, may differ from the configured
# one). The unit is written from its template into the build directory for
# this prefix, then installed from there.
include_guard(GLOBAL)

# sorvane_install_unit(<template> <destination> <bindir> <private dir> <build directory>)
# Each directory is relative to the prefix, or absolute.
function(sorvane_install_unit template destination bindir private_dir build_dir)
  foreach(dir IN ITEMS destination bindir private_dir)
    cmake_path(ABSOLUTE_PATH ${dir} BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE)
  endforeach()
  # What the templates name.
  set(CMAKE_INSTALL_FULL_BINDIR "${bindir}")
  set(SORVANE_FULL_PRIVATE_DIR "${private_dir}")
  # A directory of its own for each install, since the tests run several
  # at once, and gone after it.
  string(RANDOM LENGTH 12 place)
  set(place "${build_dir}/install-${place}")
  cmake_path(GET template STEM LAST_ONLY name)
  configure_file("${template}" "${place}/${name}" @ONLY)
  file(INSTALL DESTINATION "${destination}" TYPE FILE
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ FILES "${place}/${name}")
  file(REMOVE_RECURSE "${place}")
endfunction()
