# What `cmake --install` puts where (GNU folder names under the prefix):
#   bin/                      tessaro, tessaro-cli
#   libexec/tessaro/          the helper programs Cabwizsp and CabLoader, and
#                             tessaro-cli-qt (the commands of tessaro-cli that draw text)
#   share/tessaro/            the shipped support files (never written)
#   share/applications/, share/metainfo/, share/icons/hicolor/, share/man/man1/,
#   share/bash-completion/completions/, share/doc/tessaro/
# An installed copy works in a per-user folder seeded from share/tessaro/
# (src/platform/programfolder.h).
set(tessaro_app_id org.tessaro.Tessaro)

install(TARGETS tessaro tessaro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS cabwiz cabloader RUNTIME DESTINATION ${TESSARO_INSTALL_HELPERDIR})
install(TARGETS tessaro-cli-qt RUNTIME DESTINATION ${TESSARO_INSTALL_HELPERDIR})

# The support files, from the program folder the build fills.
set(tessaro_top_files ${tessaro_preset_outputs} ${tessaro_cabinet_outputs}
    ${TESSARO_PROGRAM_DIR}/info.txt)
foreach(file ${tessaro_picture_outputs})
    if(NOT file MATCHES "/(IconBars|Faces)/")
        list(APPEND tessaro_top_files ${file})
    endif()
endforeach()
install(FILES ${tessaro_top_files} DESTINATION ${TESSARO_INSTALL_SHAREDIR})
foreach(folder IconBars Faces)
    foreach(n 1 2 3 4 5 6)
        install(FILES ${TESSARO_PROGRAM_DIR}/${folder}/${n}.bmp
                DESTINATION ${TESSARO_INSTALL_SHAREDIR}/${folder})
    endforeach()
endforeach()
install(FILES ${tessaro_font_outputs} DESTINATION ${TESSARO_INSTALL_SHAREDIR}/fonts)

# Desktop integration: the menu entry, the AppStream description and the
# icon, drawn by assetgen in three sizes beside the hand-made scalable one.
set(tessaro_desktop ${CMAKE_CURRENT_SOURCE_DIR}/desktop)
install(FILES ${tessaro_desktop}/${tessaro_app_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tessaro_desktop}/${tessaro_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${tessaro_desktop}/${tessaro_app_id}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(tessaro_icon_outputs)
foreach(size 48 128 256)
    set(icon ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}/${tessaro_app_id}.png)
    add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                $<TARGET_FILE:assetgen> --icon ${size} ${icon}
        DEPENDS assetgen
        COMMENT "Drawing the ${size} x ${size} program icon")
    list(APPEND tessaro_icon_outputs ${icon})
    install(FILES ${icon}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages and the changelog, compressed as Debian wants them (gzip -n:
# no time stamp, so the package is reproducible).
set(tessaro_gz_outputs)
foreach(doc man/tessaro.1 man/tessaro-cli.1 debian/changelog)
    get_filename_component(name ${doc} NAME)
    set(gz ${CMAKE_CURRENT_BINARY_DIR}/gz/${name}.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/gz
        COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${CMAKE_CURRENT_SOURCE_DIR}/${doc} ${gz}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${doc}
        COMMENT "Compressing ${name}"
        VERBATIM)
    list(APPEND tessaro_gz_outputs ${gz})
endforeach()
add_custom_target(tessaro_install_files ALL DEPENDS ${tessaro_icon_outputs} ${tessaro_gz_outputs})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gz/tessaro.1.gz ${CMAKE_CURRENT_BINARY_DIR}/gz/tessaro-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/completion/tessaro-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/gz/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessaro)
