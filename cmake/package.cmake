# The Debian package: `cpack -G DEB` in a release build directory.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "sorvane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Sorvane maintainers <maintainers@users.noreply.c-seed-0a865cc4.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prepares a script that updates every package manager")
set(CPACK_PACKAGE_DESCRIPTION
  "Sorvane finds out which of pacman, apt, dnf, snap and flatpak are
installed, trusting only executables that no one but their owner can
change, prints them, and writes one fixed bash script that updates all of
them. It never runs the update and never handles a password: a graphical
front end runs the script later and feeds the sudo password to it on
standard input.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "admin")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "bash")
# Adds the C library dependency that the executable really has.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
