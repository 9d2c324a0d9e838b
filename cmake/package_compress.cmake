# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on its staging tree before it packs: gzips the man pages and the changelogs, which
# the install() rules put there plain, so that the package follows Debian's policy.
file(GLOB_RECURSE staged LIST_DIRECTORIES false ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*)
list(FILTER staged INCLUDE REGEX "/share/man/|/share/doc/[^/]+/changelog$")
foreach(file IN LISTS staged)
    if(file MATCHES "\\.gz$" OR IS_SYMLINK ${file})
        continue()
    endif()
    execute_process(COMMAND gzip -9 --no-name --force ${file} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot compress ${file}")
    endif()
endforeach()
