# What `cmake --install` puts where, as desktops expect it: the program and its decoder helper, its
# desktop entry, its icon in the hicolor theme, the AppStream description software centres read, and
# the licence.
# The desktop entry, the icon and the AppStream file are all named by the application id
# (TILMORA_APP_ID, set in CMakeLists.txt).
include(GNUInstallDirs)

install(TARGETS tilmora-puzzle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The decoder helper, which only the game runs.
install(TARGETS tilmora-picture-decoder RUNTIME DESTINATION ${TILMORA_DECODER_DIR})

# Both offer the game for the MIME types of the formats it opens (TILMORA_PICTURE_FORMATS), which
# the build writes into them.
foreach(file IN ITEMS desktop metainfo.xml)
    configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/${TILMORA_APP_ID}.${file}.in
        ${PROJECT_BINARY_DIR}/resources/desktop/${TILMORA_APP_ID}.${file} @ONLY)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/resources/desktop/${TILMORA_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/resources/desktop/${TILMORA_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/${size}/tilmora-puzzle.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${TILMORA_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/tilmora-puzzle.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${TILMORA_APP_ID}.svg)

# Debian looks for the licence as /usr/share/doc/<package>/copyright; elsewhere it does no harm.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tilmora-puzzle
    RENAME copyright)
