# Runs two commands and checks that their outputs are the same, lines that
# match IGNORE (a regular expression) left out: timings differ from run to run.
# Arguments: FIRST, SECOND (|-separated lists), IGNORE, WORKDIR.
foreach(which FIRST SECOND)
  string(REPLACE "|" ";" command "${${which}}")
  execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORKDIR} OUTPUT_VARIABLE output ERROR_QUIET
                  RESULT_VARIABLE exitCode)
  if(NOT exitCode STREQUAL "0")
    message(FATAL_ERROR "${${which}} exited with ${exitCode}\n${output}")
  endif()
  string(REGEX REPLACE "\n[^\n]*(${IGNORE})[^\n]*" "" output "\n${output}")
  set(${which}_OUTPUT "${output}")
endforeach()
if(NOT FIRST_OUTPUT STREQUAL SECOND_OUTPUT)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/first.txt "${FIRST_OUTPUT}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/second.txt "${SECOND_OUTPUT}")
  message(FATAL_ERROR "the outputs differ: see first.txt and second.txt in ${CMAKE_CURRENT_BINARY_DIR}")
endif()
string(LENGTH "${FIRST_OUTPUT}" length)
if(length LESS 1000)
  message(FATAL_ERROR "too little output to compare:\n${FIRST_OUTPUT}")
endif()
