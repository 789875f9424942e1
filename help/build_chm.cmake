# Compiles RvHelp.chm in a copy of the sources: chmcmd writes its output beside the
# project, and leaves an empty file behind when a listed file is missing.
# Arguments: CHMCMD, SOURCE_DIR, STAGE_DIR, FILES (list), OUTPUT.
file(REMOVE_RECURSE ${STAGE_DIR})
foreach(name IN LISTS FILES)
    get_filename_component(dir ${name} DIRECTORY)
    file(COPY ${SOURCE_DIR}/${name} DESTINATION ${STAGE_DIR}/${dir})
endforeach()
file(REMOVE ${OUTPUT})

execute_process(COMMAND ${CHMCMD} rvhelp.hhp
    WORKING_DIRECTORY ${STAGE_DIR}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE log
    ERROR_VARIABLE log)
set(built ${STAGE_DIR}/RvHelp.chm)
if(EXISTS ${built})
    file(SIZE ${built} size)
endif()
if(NOT status EQUAL 0 OR NOT size GREATER 0 OR log MATCHES "Warning|Error")
    file(REMOVE ${built})
    message(FATAL_ERROR "chmcmd could not compile the help file:\n${log}")
endif()
file(RENAME ${built} ${OUTPUT})
