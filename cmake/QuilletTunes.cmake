# The two tunes (data/bwyy.mid, data/dsyy.mid) are looked for beside the program file, or in ../share/quillet
# when installed. Every build copies them beside the app and the command-line tool; install puts them in
# share/quillet. Included from the root after every target exists. The tunes are made by tools/tunes, never
# at build time.
include(GNUInstallDirs)

set(QUILLET_TUNES ${PROJECT_SOURCE_DIR}/data/bwyy.mid ${PROJECT_SOURCE_DIR}/data/dsyy.mid)

# A target's output folder, found without a generator expression naming the target (which would make the copy
# depend on the target that depends on the copy).
function(quillet_output_dir target out)
    get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT dir)
        get_target_property(dir ${target} BINARY_DIR)
        if(CMAKE_CONFIGURATION_TYPES)
            set(dir "${dir}/$<CONFIG>")
        endif()
    endif()
    set(${out} "${dir}" PARENT_SCOPE)
endfunction()

foreach(target IN ITEMS quillet quillet-cli)
    if(TARGET ${target})
        quillet_output_dir(${target} dir)
        add_custom_target(${target}_tunes
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLET_TUNES} ${dir}
            DEPENDS ${QUILLET_TUNES}
            COMMENT "Copying the tunes beside ${target}"
            VERBATIM)
        add_dependencies(${target} ${target}_tunes)
    endif()
endforeach()

install(FILES ${QUILLET_TUNES} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillet)
