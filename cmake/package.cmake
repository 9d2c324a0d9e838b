# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cmake --build build --target package` gives build/skarvel_VERSION_ARCH.deb
# holding everything the install() rules put under /usr, with its dependencies read from the
# programs by dpkg-shlibdeps.

configure_file(${CMAKE_SOURCE_DIR}/dist/debian/changelog.in ${CMAKE_BINARY_DIR}/dist/debian/changelog @ONLY)
set(skarvel_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/skarvel)
install(FILES ${CMAKE_SOURCE_DIR}/dist/debian/copyright ${CMAKE_BINARY_DIR}/dist/debian/changelog
        DESTINATION ${skarvel_docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_CONTACT "The Skarvel developers <${SKARVEL_MAIL_ADDRESS}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cut, unite, codify and erase large files")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION "Skarvel handles large files by hand: it cuts one file into numbered parts
(by count or by size, leaving out chosen parts), unites any list of files
into one, codifies a file in place with a key file, and erases a file by
overwriting it with zeros before deleting it. A Cut can also write a part
list and a small stand-alone joiner beside the parts.
.
The package holds the window (skarvel, Qt 6) and its command-line
companion for scripts (skarvel-cli).")
# Man pages and the changelog go in compressed, as Debian's policy asks.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_compress.cmake)

include(CPack)
