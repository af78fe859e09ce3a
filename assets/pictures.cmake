# Support pictures, drawn by tools/assetgen into the program folder, and the
# About text.
set(tessaro_picture_outputs
    ${TESSARO_PROGRAM_DIR}/WindowsMobile.JPG
    ${TESSARO_PROGRAM_DIR}/about.jpg
    ${TESSARO_PROGRAM_DIR}/TrayIcons.bmp
    ${TESSARO_PROGRAM_DIR}/mru32.bmp
    ${TESSARO_PROGRAM_DIR}/mru16.bmp
    ${TESSARO_PROGRAM_DIR}/media_remote.bmp
    ${TESSARO_PROGRAM_DIR}/media_remote_sel.bmp)
foreach(n 1 2 3 4 5 6)
    list(APPEND tessaro_picture_outputs
        ${TESSARO_PROGRAM_DIR}/IconBars/${n}.bmp
        ${TESSARO_PROGRAM_DIR}/Faces/${n}.bmp)
endforeach()
add_custom_command(OUTPUT ${tessaro_picture_outputs}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:assetgen> ${TESSARO_PROGRAM_DIR}
    DEPENDS assetgen
    COMMENT "Drawing the support pictures")
add_custom_command(OUTPUT ${TESSARO_PROGRAM_DIR}/info.txt
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_SOURCE_DIR}/info.txt
            ${TESSARO_PROGRAM_DIR}/info.txt
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/info.txt)
add_custom_target(tessaro_pictures ALL DEPENDS ${tessaro_picture_outputs}
                  ${TESSARO_PROGRAM_DIR}/info.txt)
