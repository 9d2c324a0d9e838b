# SPDX-License-Identifier: GPL-3.0-or-later
# skarvel_hardening: the protections a distribution expects of its programs, in the upstream build
# itself, so that a build without the distribution's flags is hardened too. skarvel_warnings links
# it, so it travels wherever the warnings go. Every program is position independent; the static
# joiner is linked as a static PIE where the toolchain can (SKARVEL_STATIC_LINK_OPTIONS).
add_library(skarvel_hardening INTERFACE)

if(WIN32)
    # mingw-w64's linker knows neither -z relro nor -z now, and Windows has no stack clash probes;
    # the PE defaults (ASLR, DEP) come from the linker itself.
    set(SKARVEL_STATIC_LINK_OPTIONS -static)
    return()
endif()

target_compile_options(skarvel_hardening INTERFACE
    -fstack-protector-strong -fstack-clash-protection -fcf-protection)
target_link_options(skarvel_hardening INTERFACE -Wl,-z,relro,-z,now)

# Fortification needs the optimiser, and under the sanitizers its checking wrappers would hide
# the calls they watch. A packager's own _FORTIFY_SOURCE (debhelper adds CPPFLAGS to CXXFLAGS)
# is left as it is rather than redefined.
if(NOT (SKARVEL_SANITIZE OR SKARVEL_FUZZ) AND NOT "${CMAKE_C_FLAGS} ${CMAKE_CXX_FLAGS}" MATCHES "_FORTIFY_SOURCE")
    target_compile_definitions(skarvel_hardening INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()

# Position independent code everywhere, and -pie for the programs (CMake adds it once
# check_pie_supported has run).
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_LINK_OPTIONS -static-pie)
check_cxx_source_compiles("int main() { return 0; }" SKARVEL_HAVE_STATIC_PIE)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(SKARVEL_HAVE_STATIC_PIE)
    set(SKARVEL_STATIC_LINK_OPTIONS -static-pie)
else()
    message(STATUS "The toolchain cannot link a static PIE: the joiner is linked -static, not position independent")
    set(SKARVEL_STATIC_LINK_OPTIONS -static)
endif()
