# Fails when a file of the game core includes a Qt header: the core must stay usable without Qt.
# Run as: cmake -DSOURCES="a;b" -DSTAMP=file -P ForbidQt.cmake
foreach(source IN LISTS SOURCES)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
    if(includes)
        message(FATAL_ERROR "${source} includes Qt (${includes}); the game core must not depend on Qt.")
    endif()
endforeach()
file(TOUCH "${STAMP}")
