# The Unicode width table that the tables pad names by. It is not written by
# hand: tools/generate_width_table, a program for the build machine, writes
# it from utf8proc (Debian libutf8proc-dev) into generated/report/, and
# salesum_core compiles it in. The program itself does not link utf8proc.
#
# A cross build (the Windows program) builds the tool with the build
# machine's own compiler as a project of its own in host-tools/, so that both
# programs carry the very same table.
set(width_runs ${CMAKE_BINARY_DIR}/generated/report/width_runs.inc)
if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    # The toolchain file looks for programs outside its root, so this finds
    # the build machine's compiler.
    find_program(SALESUM_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
    set(host_tools ${CMAKE_BINARY_DIR}/host-tools)
    set(width_generator ${host_tools}/generate_width_table${CMAKE_HOST_EXECUTABLE_SUFFIX})
    ExternalProject_Add(host_tools
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
        BINARY_DIR ${host_tools}
        CMAKE_ARGS -DCMAKE_CXX_COMPILER=${SALESUM_HOST_CXX} -DCMAKE_BUILD_TYPE=Release
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${width_generator})
    set(width_generator_depends host_tools ${width_generator})
else()
    add_subdirectory(tools)
    set(width_generator $<TARGET_FILE:generate_width_table>)
    set(width_generator_depends generate_width_table)
endif()
add_custom_command(OUTPUT ${width_runs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/report
    COMMAND ${width_generator} ${width_runs}
    DEPENDS ${width_generator_depends}
    COMMENT "Writing the character width table from utf8proc"
    VERBATIM)
target_sources(salesum_core PRIVATE ${width_runs})
target_include_directories(salesum_core PRIVATE ${CMAKE_BINARY_DIR}/generated)
