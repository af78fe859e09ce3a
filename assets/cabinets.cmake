# The plugin cabinets shipped beside the program, built by our own cabinet
# builder from the INF files in cabinets/. The INF and its note are staged in
# a build folder; the builder writes NAME.cab into its current folder, from
# where it is copied into the program folder.
set(tessaro_cabinet_stage ${CMAKE_CURRENT_BINARY_DIR}/cabinets)
set(tessaro_cabinet_outputs)
foreach(cab AnalogClock_Plugin WMP_Plugin)
    set(src ${CMAKE_CURRENT_SOURCE_DIR}/cabinets)
    add_custom_command(
        OUTPUT ${TESSARO_PROGRAM_DIR}/${cab}.cab
        COMMAND ${CMAKE_COMMAND} -E make_directory ${tessaro_cabinet_stage}
        COMMAND ${CMAKE_COMMAND} -E copy ${src}/${cab}.inf ${src}/${cab}.txt ${tessaro_cabinet_stage}
        COMMAND $<TARGET_FILE:cabwiz> cabinets/${cab}.inf
        COMMAND ${CMAKE_COMMAND} -E copy ${cab}.cab ${TESSARO_PROGRAM_DIR}/${cab}.cab
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        DEPENDS cabwiz ${src}/${cab}.inf ${src}/${cab}.txt
        COMMENT "Building the plugin cabinet ${cab}.cab"
        VERBATIM)
    list(APPEND tessaro_cabinet_outputs ${TESSARO_PROGRAM_DIR}/${cab}.cab)
endforeach()
add_custom_target(plugin_cabinets ALL DEPENDS ${tessaro_cabinet_outputs})
