# The nine colour scheme presets, copied into the program folder under their
# own names (no extension).
set(TESSARO_PRESETS Default Black Blue-Gray Green Mint Orange Pink Red Yellow)
set(tessaro_preset_outputs "")
foreach(preset ${TESSARO_PRESETS})
    set(src ${CMAKE_CURRENT_SOURCE_DIR}/presets/${preset})
    set(dst ${TESSARO_PROGRAM_DIR}/${preset})
    add_custom_command(OUTPUT ${dst}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARO_PROGRAM_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy ${src} ${dst}
        DEPENDS ${src}
        COMMENT "Copying preset ${preset}")
    list(APPEND tessaro_preset_outputs ${dst})
endforeach()
add_custom_target(tessaro_presets ALL DEPENDS ${tessaro_preset_outputs})
