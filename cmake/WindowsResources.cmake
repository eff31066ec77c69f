# The Windows build of the program: its icon and version information in a resource file, and the
# game's own name for the .exe ("Tilmora Picture Puzzle Game.exe"), as players know it.
function(tilmora_add_windows_resources target)
    set(TILMORA_WINDOWS_ICON ${PROJECT_SOURCE_DIR}/resources/windows/tilmora-puzzle.ico)
    configure_file(${PROJECT_SOURCE_DIR}/resources/windows/tilmora-puzzle.rc.in
        ${CMAKE_CURRENT_BINARY_DIR}/tilmora-puzzle.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tilmora-puzzle.rc)
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME "${TILMORA_APP_NAME}"
        WIN32_EXECUTABLE ON)
endfunction()
