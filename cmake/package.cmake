# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages: `cmake --build build --target package` gives, in build/,
#   skarvel-cli_VERSION_ARCH.deb  what the install() rules put in the component cli (the command
#                                 line, its manual page and completions), without Qt;
#   skarvel_VERSION_ARCH.deb      the component gui (the window and its desktop files), which
#                                 depends on skarvel-cli of the same version.
# A build without the window makes skarvel-cli alone. Included last: every install() rule's
# component becomes a package, so an install() without a component would show up as a third
# package (skarvel-unspecified), which the package test refuses. Dependencies are read from the
# programs by dpkg-shlibdeps; the source packages of what is linked statically into the joiners
# are read when packing (package_fields.cmake).

set(skarvel_components cli)
set(skarvel_packages skarvel-cli)
if(SKARVEL_BUILD_GUI)
    list(APPEND skarvel_components gui)
    list(APPEND skarvel_packages skarvel)
endif()
# Each package has its own copyright file and changelog, as Debian's policy asks.
configure_file(${CMAKE_SOURCE_DIR}/dist/debian/changelog.in ${CMAKE_BINARY_DIR}/dist/debian/changelog @ONLY)
foreach(component package IN ZIP_LISTS skarvel_components skarvel_packages)
    install(FILES ${CMAKE_SOURCE_DIR}/dist/debian/copyright ${CMAKE_BINARY_DIR}/dist/debian/changelog
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
    # lintian of Debian 12 does not know the Static-Built-Using field yet (dpkg does).
    file(WRITE ${CMAKE_BINARY_DIR}/dist/debian/${package}.lintian-overrides
         "${package}: unknown-field Static-Built-Using\n")
    install(FILES ${CMAKE_BINARY_DIR}/dist/debian/${package}.lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${package} COMPONENT ${component})
endforeach()

# The libraries linked statically into the joiners, as the compilers find them; the copyright file
# lists them. Those in `copyleft` carry a licence that asks for their source (Built-Using).
function(skarvel_library_files compiler out)
    set(files)
    foreach(name IN LISTS ARGN)
        execute_process(COMMAND ${compiler} -print-file-name=${name} OUTPUT_VARIABLE file
                        OUTPUT_STRIP_TRAILING_WHITESPACE)
        file(REAL_PATH ${file} file)
        list(APPEND files ${file})
    endforeach()
    set(${out} ${files} PARENT_SCOPE)
endfunction()
skarvel_library_files(${CMAKE_CXX_COMPILER} copyleft libc.a libnettle.a)
skarvel_library_files(${CMAKE_CXX_COMPILER} linux_runtime libstdc++.a libgcc.a)
set(windows_runtime)
if(SKARVEL_WINDOWS_JOINER_BUILT)
    skarvel_library_files(${SKARVEL_MINGW_CXX} windows_runtime libstdc++.a libgcc.a libmingwex.a libwinpthread.a)
endif()
set(CPACK_SKARVEL_COPYLEFT_LIBRARIES ${copyleft})
set(CPACK_SKARVEL_STATIC_LIBRARIES ${copyleft} ${linux_runtime} ${windows_runtime})
set(CPACK_SKARVEL_CHANGELOG ${CMAKE_BINARY_DIR}/dist/debian/changelog)

# The programs have the data folder built in: a package is made only from a build for /usr.
set(CPACK_SKARVEL_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_prefix.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SKARVEL_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${SKARVEL_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SOURCE skarvel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(skarvel_about "Skarvel handles large files by hand: it cuts one file into numbered parts
(by count or by size, leaving out chosen parts), unites any list of files
into one, scrambles a file in place with a key file to keep it from casual
eyes (from those only: known content gives the key away), and erases a file
by overwriting it with zeros, then deleting it (older copies of its blocks
may survive on flash storage and copy-on-write file systems). A Cut can also
write a part list, SHA-256 digests and a small stand-alone joiner for Linux
or Windows beside the parts.
.")
set(CPACK_DEBIAN_CLI_PACKAGE_NAME skarvel-cli)
set(CPACK_DEBIAN_CLI_DESCRIPTION "cut, unite, scramble and erase large files from the command line
${skarvel_about}
This package holds skarvel-cli, the command line for scripts and servers;
it needs no graphical libraries.")
# With one component CPack makes one package from the general settings: skarvel-cli's.
set(CPACK_DEBIAN_PACKAGE_NAME ${CPACK_DEBIAN_CLI_PACKAGE_NAME})
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_CLI_DESCRIPTION})
set(CPACK_DEBIAN_GUI_PACKAGE_NAME skarvel)
set(CPACK_DEBIAN_GUI_DESCRIPTION "cut, unite, scramble and erase large files in a window
${skarvel_about}
This package holds the window, in Russian and English (Qt 6); it brings
skarvel-cli along.")
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "skarvel-cli (= ${PROJECT_VERSION})")
# Qt's own texts (file dialogs, buttons) in Russian, and the desktop's opener for the links.
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")

# Man pages and changelogs go in compressed, as Debian's policy asks; the statically linked
# sources are named in the control files once the packages are made.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_compress.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_fields.cmake)

include(CPack)
