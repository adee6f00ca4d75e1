# kavrel_layer(TARGET FOLDER): gives TARGET the include root of FOLDER (a folder of the source
# tree, or one below it such as tests/support) and no other. The root lies in the build tree and
# holds one symbolic link, named like the folder's last part, to the folder; targets that link
# TARGET see it too (PUBLIC).
function(kavrel_layer target folder)
    string(REPLACE "/" "-" key ${folder})
    get_filename_component(name ${folder} NAME)
    set(root ${CMAKE_BINARY_DIR}/include-roots/${key})
    if(NOT EXISTS ${root}/${name})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${name} SYMBOLIC RESULT made)
        if(NOT made EQUAL 0)
            # Where the file system has no symbolic links, the layers are not checked.
            message(WARNING "cannot link ${root}/${name} (${made}): ${folder} is included from the source tree")
            get_filename_component(root ${PROJECT_SOURCE_DIR}/${folder} DIRECTORY)
        endif()
    endif()
    target_include_directories(${target} PUBLIC ${root})
endfunction()

# The one way around the include roots is a path that climbs out of its folder ("../cli/x.h"):
# no source may include so.
# Checked when CMake configures (CI configures every tree afresh).
set(kavrel_sources)
foreach(folder platform config link form options cli sim ui qt bench tests)
    file(GLOB_RECURSE found RELATIVE ${PROJECT_SOURCE_DIR}
        ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.rc)
    list(APPEND kavrel_sources ${found})
endforeach()
foreach(source ${kavrel_sources})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${source} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*\\.\\./")
    if(climbing)
        message(FATAL_ERROR "${source} includes a header by a path out of its folder (${climbing}); "
            "include it as \"layer/file.h\" from a layer the target links")
    endif()
endforeach()
