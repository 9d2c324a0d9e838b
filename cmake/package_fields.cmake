# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the packages it made, before it copies them out: names the Debian source
# packages of what is linked statically into the joiners, with their versions as installed now.
# Built-Using takes those whose licence asks that their source stay available, Static-Built-Using
# all of them. CPack has no such fields, so each package is unpacked and built again by dpkg-deb.

# The source package, with its version, that holds each file.
function(source_packages out)
    set(sources)
    foreach(file IN LISTS ARGN)
        execute_process(COMMAND dpkg-query --search ${file} OUTPUT_VARIABLE owner RESULT_VARIABLE failed)
        if(failed OR NOT owner MATCHES "^([^ ]+): ")
            message(FATAL_ERROR "no installed package holds ${file}, which the joiners link")
        endif()
        execute_process(COMMAND dpkg-query --show "--showformat=\${source:Package} (= \${source:Version})"
                                ${CMAKE_MATCH_1}
                        OUTPUT_VARIABLE source RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "dpkg-query cannot name the source of ${CMAKE_MATCH_1}")
        endif()
        list(APPEND sources "${source}")
    endforeach()
    list(REMOVE_DUPLICATES sources)
    list(SORT sources)
    list(JOIN sources ", " sources)
    set(${out} "${sources}" PARENT_SCOPE)
endfunction()
source_packages(built_using ${CPACK_SKARVEL_COPYLEFT_LIBRARIES})
source_packages(static_built_using ${CPACK_SKARVEL_STATIC_LIBRARIES})

# dpkg-deb dates the archive members by SOURCE_DATE_EPOCH: the release's date when none is given,
# so that the same sources give the same packages.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND dpkg-parsechangelog -l ${CPACK_SKARVEL_CHANGELOG} -S Timestamp
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    set(tree ${deb}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    file(READ ${tree}/DEBIAN/control control)
    string(STRIP "${control}" control)
    file(WRITE ${tree}/DEBIAN/control
         "${control}\nBuilt-Using: ${built_using}\nStatic-Built-Using: ${static_built_using}\n")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${deb}
                    OUTPUT_VARIABLE said ERROR_VARIABLE said RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "dpkg-deb cannot build ${deb} again: ${said}")
    endif()
    file(REMOVE_RECURSE ${tree})
endforeach()
