# SPDX-License-Identifier: GPL-3.0-or-later
# Read by CPack before it installs anything: the packages put everything under /usr, and the
# window has its data folder built in from CMAKE_INSTALL_PREFIX, so a build configured for another
# prefix would ship a program that looks in the wrong place.
if(NOT CPACK_SKARVEL_INSTALL_PREFIX STREQUAL "/usr")
    message(FATAL_ERROR "The Debian packages install under /usr, but this build is configured for "
            "${CPACK_SKARVEL_INSTALL_PREFIX}, which the programs have built in. Configure it with "
            "-DCMAKE_INSTALL_PREFIX=/usr (the preset release does), build, and make the package again.")
endif()
