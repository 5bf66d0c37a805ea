# The .deb and the .rpm, made by CPack from one installed tree
# (`tools/package` runs it in a release build directory). What they say
# about Sorvane comes from packaging/metadata; packaging/arch/PKGBUILD makes
# the third package, for pacman, from the same metadata and install rules.
set(CPACK_GENERATOR "DEB;RPM")
set(CPACK_PACKAGE_NAME "sorvane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${SORVANE_MAINTAINER}")
set(CPACK_PACKAGE_VENDOR "Sorvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${SORVANE_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${SORVANE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
# Picks, per format, which install components go in.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/package_per_format.cmake")
set(CPACK_SORVANE_GUI "${SORVANE_GUI}")
# Each package splits into the command (group "cli") and the window ("gui").
set(CPACK_COMPONENT_PROGRAM_GROUP cli)
set(CPACK_COMPONENT_DEBIAN_GROUP cli)
set(CPACK_COMPONENT_LICENSE_GROUP cli)
set(CPACK_COMPONENT_GUI_GROUP gui)
set(CPACK_COMPONENT_GUI_DEBIAN_GROUP gui)

# Debian. bash is Essential there (always installed), so it is not listed:
# Debian's checker refuses an unversioned dependency on it. Without sudo
# the written script fails at once, hence the recommendation.
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_RELEASE "1")
set(CPACK_DEBIAN_PACKAGE_SECTION "admin")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SOURCE "sorvane")
set(CPACK_DEBIAN_CLI_PACKAGE_NAME "sorvane")
set(CPACK_DEBIAN_CLI_PACKAGE_RECOMMENDS "sudo")
set(CPACK_DEBIAN_CLI_DESCRIPTION "${SORVANE_SUMMARY}\n${SORVANE_DESCRIPTION}")
# Adds the libraries the executables really use: the C library for
# sorvane, Qt for the window.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Sorvane Update: needs the sorvane of the very same build, which it runs.
# Qt finds no display without its platform plugins, which Debian ships
# apart and libqt6gui6 only recommends: without them the window cannot
# start at all.
set(SORVANE_GUI_SUMMARY "Sorvane Update, the desktop window that runs the update")
set(SORVANE_GUI_DESCRIPTION "Sorvane Update runs sorvane to find the installed package managers and
write the update script, checks the script and everything it will run,
asks for the password once when system packages need it, and runs the
update, showing each step and its output.")
set(CPACK_DEBIAN_GUI_PACKAGE_NAME "sorvane-gui")
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "sorvane (= ${PROJECT_VERSION}-1), qt6-qpa-plugins")
set(CPACK_DEBIAN_GUI_PACKAGE_SECTION "admin")
# Qt's own buttons and dialogs in the user's language; its own words are built in.
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_GUI_DESCRIPTION "${SORVANE_GUI_SUMMARY}\n${SORVANE_GUI_DESCRIPTION}")
# The daily notice's user timer, enabled for every user on install.
set(CPACK_DEBIAN_GUI_PACKAGE_CONTROL_EXTRA
  "${PROJECT_SOURCE_DIR}/packaging/debian/sorvane-gui/postinst"
  "${PROJECT_SOURCE_DIR}/packaging/debian/sorvane-gui/postrm"
  "${PROJECT_SOURCE_DIR}/packaging/debian/sorvane-gui/prerm")
set(CPACK_DEBIAN_GUI_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

# RPM. The build host and times are fixed so that two builds of one commit
# give the same bytes; Recommends goes in as a raw header line (CPack has no
# variable for it).
set(CPACK_RPM_FILE_NAME "RPM-DEFAULT")
set(CPACK_RPM_PACKAGE_RELEASE "1")
set(CPACK_RPM_PACKAGE_LICENSE "${SORVANE_LICENSE}")
set(CPACK_RPM_PACKAGE_GROUP "Applications/System")
set(CPACK_RPM_PACKAGE_REQUIRES "bash")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${SORVANE_DESCRIPTION}")
set(CPACK_RPM_SPEC_MORE_DEFINE "Recommends: sudo
Packager: ${SORVANE_MAINTAINER}
%define _buildhost sorvane-build
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _build_id_links none")
# sorvane-gui: the sorvane of the very same build; Qt through rpmbuild's
# own dependencies on the libraries the window links.
set(CPACK_RPM_MAIN_COMPONENT cli)
set(CPACK_RPM_GUI_PACKAGE_NAME "sorvane-gui")
set(CPACK_RPM_GUI_PACKAGE_SUMMARY "${SORVANE_GUI_SUMMARY}")
set(CPACK_RPM_GUI_PACKAGE_DESCRIPTION "${SORVANE_GUI_DESCRIPTION}")
set(CPACK_RPM_GUI_PACKAGE_REQUIRES "sorvane = ${PROJECT_VERSION}-1")
set(CPACK_RPM_GUI_POST_INSTALL_SCRIPT_FILE "${PROJECT_SOURCE_DIR}/packaging/rpm/sorvane-gui-post.sh")
set(CPACK_RPM_GUI_PRE_UNINSTALL_SCRIPT_FILE "${PROJECT_SOURCE_DIR}/packaging/rpm/sorvane-gui-preun.sh")
# Directories the system owns; the packages own only their own: every
# directory the packages install into but the private tree and the
# documentation's own, with each parent.
set(_sorvane_system_dirs "${CMAKE_INSTALL_DATAROOTDIR}/licenses" "${CMAKE_INSTALL_MANDIR}/man1"
  "${CMAKE_INSTALL_DATADIR}/applications" "${CMAKE_INSTALL_DATADIR}/metainfo"
  "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
cmake_path(GET CMAKE_INSTALL_DOCDIR PARENT_PATH _sorvane_doc_root)
list(APPEND _sorvane_system_dirs "${_sorvane_doc_root}")
foreach(_sorvane_dir IN ITEMS SORVANE_SYSTEMD_USER_UNIT_DIR SORVANE_SYSTEMD_USER_PRESET_DIR
                               SORVANE_SYSTEMD_SYSTEM_UNIT_DIR SORVANE_SYSTEMD_SYSTEM_PRESET_DIR
                               SORVANE_SYSUSERS_DIR)
  if(DEFINED ${_sorvane_dir})
    list(APPEND _sorvane_system_dirs "${${_sorvane_dir}}")
  endif()
endforeach()
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION)
foreach(_sorvane_dir IN LISTS _sorvane_system_dirs)
  cmake_path(ABSOLUTE_PATH _sorvane_dir BASE_DIRECTORY "${CPACK_PACKAGING_INSTALL_PREFIX}" NORMALIZE)
  while(NOT _sorvane_dir STREQUAL CPACK_PACKAGING_INSTALL_PREFIX AND NOT _sorvane_dir STREQUAL "/")
    list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION "${_sorvane_dir}")
    cmake_path(GET _sorvane_dir PARENT_PATH _sorvane_dir)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION)
include(CPack)
