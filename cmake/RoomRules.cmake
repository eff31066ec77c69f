# tilmora_forbid_includes(<target> <rule> <sources...>): checks the sources before <target> builds
# and fails the build when one includes what <rule> forbids (see ForbidIncludes.cmake).
function(tilmora_forbid_includes target rule)
    list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE paths)
    set(widgets_dir "")
    if(rule STREQUAL "no-widgets")
        get_target_property(qt_dirs Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
        list(FILTER qt_dirs INCLUDE REGEX "QtWidgets$")
        list(GET qt_dirs 0 widgets_dir)
    endif()
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${rule}.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} "-DSOURCES=${paths}" -DSTAMP=${stamp} -DRULE=${rule}
                -DWIDGETS_DIR=${widgets_dir} -P ${PROJECT_SOURCE_DIR}/cmake/ForbidIncludes.cmake
        DEPENDS ${paths} ${PROJECT_SOURCE_DIR}/cmake/ForbidIncludes.cmake
        COMMENT "Checking the includes of ${target} (${rule})"
        VERBATIM)
    add_custom_target(${target}_${rule} DEPENDS ${stamp})
    add_dependencies(${target} ${target}_${rule})
endfunction()
