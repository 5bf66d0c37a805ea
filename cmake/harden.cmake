# The hardened build: each protection is added only where the build's own
# flags do not already choose it, so a distribution's choice stands (Fedora's
# and Arch's _FORTIFY_SOURCE=3, their -fstack-protector-strong) and nothing
# here lowers it. The optimisation level is the build type's, never forced.
include(CheckCXXSourceCompiles)

string(TOUPPER "${CMAKE_BUILD_TYPE}" _sorvane_type)
set(_sorvane_flags "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${_sorvane_type}} $ENV{CPPFLAGS}")

# Adds FLAGS unless the build's flags already match PATTERN.
function(sorvane_harden pattern)
  if(NOT _sorvane_flags MATCHES "${pattern}")
    add_compile_options(${ARGN})
  endif()
endfunction()

# A compiler that defines _FORTIFY_SOURCE itself (Ubuntu's, Arch's) keeps
# its level too.
check_cxx_source_compiles("#ifdef _FORTIFY_SOURCE\n#error set\n#endif\nint main() {}"
                          SORVANE_FORTIFY_UNSET)
if(SORVANE_FORTIFY_UNSET)
  sorvane_harden("_FORTIFY_SOURCE" -D_FORTIFY_SOURCE=2)
endif()
sorvane_harden("-f(no-)?stack-protector" -fstack-protector-strong)
sorvane_harden("-f(no-)?stack-clash-protection" -fstack-clash-protection)
sorvane_harden("-f(no-)?cf-protection" -fcf-protection)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_link_options(-pie -Wl,-z,relro,-z,now -Wl,-z,noexecstack)
