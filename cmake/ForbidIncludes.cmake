# Fails when a file of a room includes a header that room must not depend on, so the rule holds in
# the build itself rather than in a reviewer's memory.
#   cmake -DSOURCES="a;b" -DSTAMP=file -DRULE=no-qt|no-widgets [-DWIDGETS_DIR=dir] -P ForbidIncludes.cmake
# no-qt:      no Qt header at all (the game core).
# no-widgets: no header of Qt's widget module (the picture room), recognised by its name in that
#             module's own include folder, WIDGETS_DIR, so a new widget class is caught too.
foreach(source IN LISTS SOURCES)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" header "${line}")
        string(REGEX REPLACE "^QtWidgets/" "" name "${header}")
        if(RULE STREQUAL "no-qt" AND header MATCHES "^(Q[A-Za-z]|qt)")
            message(FATAL_ERROR "${source} includes Qt (${header}); the game core must not depend on Qt.")
        elseif(RULE STREQUAL "no-widgets" AND (header MATCHES "^QtWidgets"
               OR (name MATCHES "^Q[A-Za-z]" AND EXISTS "${WIDGETS_DIR}/${name}")))
            message(FATAL_ERROR "${source} includes a widget header (${header}); "
                                "reading a picture must not depend on windows.")
        endif()
    endforeach()
endforeach()
file(TOUCH "${STAMP}")
