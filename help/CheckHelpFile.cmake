# Fails the build unless the compiled help file holds its contents and default topic, and a
# "Context.txt" identical to the source with a popup text for every topic number the main window
# asks for (the numbers are read from the context-help table itself).
foreach(entry /Tidewell.hhc /html/welcome.htm /Context.txt)
    string(REPLACE "/" "_" saved "${entry}")
    execute_process(COMMAND ${CHMLS} extract "${HELP_FILE}" "${entry}" "${WORK_DIR}/check${saved}"
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(NOT rc EQUAL 0 OR NOT EXISTS "${WORK_DIR}/check${saved}")
        message(FATAL_ERROR "${HELP_FILE} does not hold ${entry}")
    endif()
endforeach()

file(READ "${WORK_DIR}/check_Context.txt" compiled)
file(READ "${CONTEXT_SOURCE}" source)
if(NOT compiled STREQUAL source)
    message(FATAL_ERROR "Context.txt inside ${HELP_FILE} differs from its source")
endif()

file(READ "${TOPICS_SOURCE}" table)
string(REGEX MATCHALL "\\{\"[A-Za-z0-9]+\", [0-9]+\\}" rows "${table}")
list(LENGTH rows count)
if(count LESS 18)
    message(FATAL_ERROR "found only ${count} topics in ${TOPICS_SOURCE}")
endif()
foreach(row ${rows})
    string(REGEX REPLACE ".*, ([0-9]+)\\}" "\\1" number "${row}")
    # The topic line, then a line of text that is not the next topic.
    if(NOT compiled MATCHES "(^|\n)\\.topic ${number}\r?\n[^.\r\n][^\n]+")
        message(FATAL_ERROR "Context.txt has no popup text for topic ${number} (${row})")
    endif()
endforeach()
message(STATUS "Help file checked: ${count} popup topics")
