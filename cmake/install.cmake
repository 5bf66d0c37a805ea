# Installed layout. Every destination comes from GNUInstallDirs or from a
# cache variable below, relative to the prefix unless a packager makes it
# absolute, so that `cmake --install --prefix` and CPack can put the tree
# anywhere.
#
# Sorvane finds its detector at <directory of its executable>/../../scripts,
# so the executable lives two levels below a private directory that holds
# scripts/, and bin/sorvane is a relative symbolic link to it: the kernel
# resolves the link, so /proc/self/exe names the real executable whichever
# way it was started.
#
#   <prefix>/bin/sorvane -> ../lib/sorvane/libexec/bin/sorvane
#   <prefix>/lib/sorvane/libexec/bin/sorvane
#   <prefix>/lib/sorvane/scripts/detect-package-managers.sh
#   <prefix>/share/man/man1/sorvane.1.gz
include(GNUInstallDirs)

# The private tree is lib/sorvane on all three families. Not under
# CMAKE_INSTALL_LIBDIR, which is lib64 on Fedora and lib/<triplet> under
# Debian's /usr: it holds no library. Not CMAKE_INSTALL_LIBEXECDIR: Arch
# has no libexec, and the tree holds the detector script as well.
# /usr/lib/<package> is where Debian, Fedora and Arch all allow a package's
# private programs, and where the manual pages and the Ansible fact say
# they are. sorvane's lookup of its detector needs only the tree's own
# shape, so a packager may move it whole.
set(SORVANE_PRIVATE_DIR "lib/sorvane" CACHE STRING
    "Sorvane's private tree (its executables and the detector), relative to the prefix or absolute")
set(SORVANE_EXECUTABLE_DIR "${SORVANE_PRIVATE_DIR}/libexec/bin")

# The link in bin/ to an executable of the private tree: relative, so that
# it holds under any prefix, unless a packager made either directory
# absolute.
function(sorvane_bin_link name)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${SORVANE_EXECUTABLE_DIR}")
    cmake_path(ABSOLUTE_PATH SORVANE_EXECUTABLE_DIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
               OUTPUT_VARIABLE executable_dir)
    set(target "${executable_dir}/${name}")
  else()
    file(RELATIVE_PATH target "/prefix/${CMAKE_INSTALL_BINDIR}"
         "/prefix/${SORVANE_EXECUTABLE_DIR}/${name}")
  endif()
  file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/install-links")
  file(CREATE_LINK "${target}" "${PROJECT_BINARY_DIR}/install-links/${name}" SYMBOLIC)
endfunction()

include("${CMAKE_CURRENT_LIST_DIR}/systemd_dirs.cmake")

# Fixed modes, whatever the installing user's umask: the detector runs as
# the user's own bash script, so no one else may be able to change it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(SORVANE_READ_ONLY_FILE OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(SORVANE_EXECUTABLE_FILE OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                            WORLD_READ WORLD_EXECUTE)
# Everything a plain `cmake --install` puts in place belongs to this one.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)

install(TARGETS sorvane RUNTIME DESTINATION "${SORVANE_EXECUTABLE_DIR}"
  PERMISSIONS ${SORVANE_EXECUTABLE_FILE})
# Run as `bash <script>`, so the execute bit is not needed; it is set
# because the file starts with "#!", as packaging checkers expect.
install(FILES "${PROJECT_SOURCE_DIR}/scripts/detect-package-managers.sh"
  DESTINATION "${SORVANE_PRIVATE_DIR}/scripts"
  PERMISSIONS ${SORVANE_EXECUTABLE_FILE})

# install(FILES) copies a symbolic link as a link.
sorvane_bin_link(sorvane)
install(FILES "${PROJECT_BINARY_DIR}/install-links/sorvane" DESTINATION "${CMAKE_INSTALL_BINDIR}")

# Manual pages, compressed without a name or time stamp so that two builds
# give the same bytes; the target man_page builds every one.
add_custom_target(man_page)
function(sorvane_man_page name component)
  set(page "${PROJECT_BINARY_DIR}/${name}.1.gz")
  add_custom_command(OUTPUT "${page}"
    COMMAND gzip -9 -n -c "${PROJECT_SOURCE_DIR}/doc/${name}.1" > "${page}"
    DEPENDS "${PROJECT_SOURCE_DIR}/doc/${name}.1"
    VERBATIM)
  add_custom_target(man_page_${name} ALL DEPENDS "${page}")
  add_dependencies(man_page man_page_${name})
  install(FILES "${page}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
    PERMISSIONS ${SORVANE_READ_ONLY_FILE} COMPONENT ${component})
endfunction()
sorvane_man_page(sorvane program)

# What a package format adds around the program, each its own component and
# left out of a plain `cmake --install`: the licence where RPM and Arch keep
# it, and Debian's copyright file (the licence in Debian's machine-readable
# form) and changelog. cmake/package_per_format.cmake picks them per format.
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/licenses/sorvane"
  PERMISSIONS ${SORVANE_READ_ONLY_FILE} COMPONENT license EXCLUDE_FROM_ALL)

file(READ "${PROJECT_SOURCE_DIR}/LICENSE" _sorvane_license)
string(REGEX REPLACE "^.*\n\n(Permission is hereby granted)" "\\1" _sorvane_license_body
       "${_sorvane_license}")
string(STRIP "${_sorvane_license_body}" _sorvane_license_body)
string(REGEX REPLACE "\n\n" "\n.\n" _sorvane_license_body "${_sorvane_license_body}")
string(REPLACE "\n" "\n " SORVANE_LICENSE_BODY " ${_sorvane_license_body}")
configure_file("${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in"
  "${PROJECT_BINARY_DIR}/debian/copyright" @ONLY)

set(SORVANE_DEBIAN_VERSION "${PROJECT_VERSION}-1")
# The entry's date is the packaged commit's (SOURCE_DATE_EPOCH), so that
# two builds of it give the same bytes.
string(TIMESTAMP SORVANE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file("${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in"
  "${PROJECT_BINARY_DIR}/debian/changelog.Debian" @ONLY)
add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz"
  COMMAND gzip -9 -n -c "${PROJECT_BINARY_DIR}/debian/changelog.Debian"
          > "${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz"
  DEPENDS "${PROJECT_BINARY_DIR}/debian/changelog.Debian"
  VERBATIM)
add_custom_target(debian_docs ALL DEPENDS "${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz")
install(FILES "${PROJECT_BINARY_DIR}/debian/copyright"
              "${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}"
  PERMISSIONS ${SORVANE_READ_ONLY_FILE} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES "${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides"
  DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides" RENAME sorvane
  PERMISSIONS ${SORVANE_READ_ONLY_FILE} COMPONENT debian EXCLUDE_FROM_ALL)
