# Read by CPack once per format: which install components go in, and how
# they make packages. Each format is two packages, sorvane and (when the
# window was built) sorvane-gui.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_RPM_COMPONENT_INSTALL ON)
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
  # Each package's description starts with its own synopsis; CPackDeb puts
  # the one project-wide summary in front of both unless it is the default.
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CPACK_DEFAULT_PACKAGE_DESCRIPTION_SUMMARY}")
  set(CPACK_COMPONENTS_ALL program debian)
  if(CPACK_SORVANE_GUI)
    list(APPEND CPACK_COMPONENTS_ALL gui gui_debian)
  endif()
elseif(CPACK_GENERATOR STREQUAL "RPM")
  set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
  set(CPACK_COMPONENTS_ALL program license)
  if(CPACK_SORVANE_GUI)
    list(APPEND CPACK_COMPONENTS_ALL gui)
  endif()
endif()
