# Installed layout. Sorvane finds its detector at
# <directory of its executable>/../../scripts, so the executable lives two
# levels below a private directory that holds scripts/, and bin/sorvane is a
# relative symbolic link to it: the kernel resolves the link, so
# /proc/self/exe names the real executable whichever way it was started.
#
#   <prefix>/bin/sorvane -> ../lib/sorvane/libexec/bin/sorvane
#   <prefix>/lib/sorvane/libexec/bin/sorvane
#   <prefix>/lib/sorvane/scripts/detect-package-managers.sh
#   <prefix>/share/man/man1/sorvane.1.gz

set(SORVANE_PRIVATE_DIR "lib/sorvane")
set(SORVANE_EXECUTABLE_DIR "${SORVANE_PRIVATE_DIR}/libexec/bin")

# Fixed modes, whatever the installing user's umask: the detector runs as
# the user's own bash script, so no one else may be able to change it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(SORVANE_READ_ONLY_FILE OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(TARGETS sorvane RUNTIME DESTINATION "${SORVANE_EXECUTABLE_DIR}"
  PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
              WORLD_READ WORLD_EXECUTE)
install(FILES "${PROJECT_SOURCE_DIR}/scripts/detect-package-managers.sh"
  DESTINATION "${SORVANE_PRIVATE_DIR}/scripts"
  PERMISSIONS ${SORVANE_READ_ONLY_FILE})

# install(FILES) copies a symbolic link as a link.
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/install-links")
file(CREATE_LINK "../${SORVANE_EXECUTABLE_DIR}/sorvane"
  "${PROJECT_BINARY_DIR}/install-links/sorvane" SYMBOLIC)
install(FILES "${PROJECT_BINARY_DIR}/install-links/sorvane" DESTINATION bin)

# The manual page, compressed without a name or time stamp so that two
# builds give the same bytes.
set(SORVANE_MAN_PAGE "${PROJECT_BINARY_DIR}/sorvane.1.gz")
add_custom_command(OUTPUT "${SORVANE_MAN_PAGE}"
  COMMAND gzip -9 -n -c "${PROJECT_SOURCE_DIR}/doc/sorvane.1" > "${SORVANE_MAN_PAGE}"
  DEPENDS "${PROJECT_SOURCE_DIR}/doc/sorvane.1"
  VERBATIM)
add_custom_target(man_page ALL DEPENDS "${SORVANE_MAN_PAGE}")
install(FILES "${SORVANE_MAN_PAGE}" DESTINATION share/man/man1
  PERMISSIONS ${SORVANE_READ_ONLY_FILE})
