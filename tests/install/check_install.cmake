# Installs the build tree into a scratch prefix, checks the installed layout
# and runs the installed program by its bare name through PATH, so that the
# program name in its usage text is known.
#
# cmake -DBUILD_DIR=... -DPREFIX=... -DINSTALLED_FILES="bin/salesum;..."
#       -DFIRST_LINE="salesum v <version>" -P check_install.cmake
foreach(variable BUILD_DIR PREFIX INSTALLED_FILES FIRST_LINE)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "check_install.cmake needs -D${variable}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${log}")
endif()

foreach(path IN LISTS INSTALLED_FILES)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${PREFIX}/${path}\n${log}")
    endif()
endforeach()

set(ENV{PATH} "${PREFIX}/bin:$ENV{PATH}")
execute_process(COMMAND salesum -h
                RESULT_VARIABLE status OUTPUT_VARIABLE usage ERROR_VARIABLE errors)
string(FIND "${usage}" "\n" end_of_first_line)
string(SUBSTRING "${usage}" 0 ${end_of_first_line} first_line)
if(NOT status EQUAL 0 OR NOT first_line STREQUAL FIRST_LINE OR NOT errors STREQUAL "")
    message(FATAL_ERROR "installed salesum -h: status ${status}, first line '${first_line}' "
                        "(expected '${FIRST_LINE}'), stderr '${errors}'")
endif()
file(REMOVE_RECURSE "${PREFIX}")
