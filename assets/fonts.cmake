# The two faces the preview draws with, copied beside the program so text
# renders the same on every machine: "Nina" and "Arial" in the designer's
# terms.
set(TESSARO_FONT_FILES
    /usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf)
set(tessaro_font_outputs)
foreach(font ${TESSARO_FONT_FILES})
    get_filename_component(font_name ${font} NAME)
    if(NOT EXISTS ${font})
        message(FATAL_ERROR "Font file ${font} is missing (packages fonts-dejavu-extra, fonts-liberation2)")
    endif()
    add_custom_command(OUTPUT ${TESSARO_PROGRAM_DIR}/fonts/${font_name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARO_PROGRAM_DIR}/fonts
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${font} ${TESSARO_PROGRAM_DIR}/fonts/${font_name}
        DEPENDS ${font}
        COMMENT "Copying font ${font_name}")
    list(APPEND tessaro_font_outputs ${TESSARO_PROGRAM_DIR}/fonts/${font_name})
endforeach()
add_custom_target(tessaro_fonts ALL DEPENDS ${tessaro_font_outputs})
