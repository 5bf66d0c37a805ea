# Reads packaging/metadata (NAME=value lines, also read by bash) into CMake
# variables of the same names, and packaging/description into
# SORVANE_DESCRIPTION. Included before project(), which takes the version.
set(SORVANE_PACKAGING_DIR "${CMAKE_CURRENT_LIST_DIR}/../packaging")
file(STRINGS "${SORVANE_PACKAGING_DIR}/metadata" _sorvane_lines REGEX "^SORVANE_[A-Z_]+=")
foreach(_sorvane_line IN LISTS _sorvane_lines)
  string(REGEX MATCH "^(SORVANE_[A-Z_]+)=(.*)$" _ "${_sorvane_line}")
  set(_sorvane_name "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^'(.*)'$" "\\1" _sorvane_value "${CMAKE_MATCH_2}")
  set(${_sorvane_name} "${_sorvane_value}")
endforeach()
file(READ "${SORVANE_PACKAGING_DIR}/description" SORVANE_DESCRIPTION)
string(STRIP "${SORVANE_DESCRIPTION}" SORVANE_DESCRIPTION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${SORVANE_PACKAGING_DIR}/metadata" "${SORVANE_PACKAGING_DIR}/description")
