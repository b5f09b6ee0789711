# The layers of the code, enforced by the compiler rather than by habit.
#
# Each target includes project headers as "<folder>/<File>.h" through a folder of its own in the
# build tree that links only the headers of the folders it may use; an include of a higher layer
# is not found. Qt and SQLite come through their targets' include paths, so a layer that does not
# link them cannot include them either; headers that sit in the system folders (sqlite3.h) are
# refused by a scan that runs with the build.

# dovazov_layer(<target> <PUBLIC|PRIVATE|INTERFACE> <folder>...): the folders whose headers
# <target> sees, folders relative to the source root ("platform/widgets" is a folder of its own).
function(dovazov_layer target visibility)
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    file(REMOVE_RECURSE ${root})
    foreach(folder IN LISTS ARGN)
        file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS headers)
            get_filename_component(name ${header} NAME)
            file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
        endforeach()
    endforeach()
    target_include_directories(${target} ${visibility} ${root})
endfunction()

# dovazov_forbid_includes(<target> <folder> <regex>): the build of <target> fails when a file of
# <folder> includes a header matching <regex>.
function(dovazov_forbid_includes target folder regex)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h
         ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_includes.stamp)
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} "-DSOURCES=${sources}" "-DREGEX=${regex}" "-DLAYER=${folder}"
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
        COMMENT "Checking the includes of ${folder}/"
        VERBATIM)
    add_custom_target(${target}_includes DEPENDS ${stamp})
    add_dependencies(${target} ${target}_includes)
endfunction()
