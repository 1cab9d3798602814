# Runs a command and checks its exit code, and that every regular expression
# listed in REGEX_FILE (one a line) matches its standard output and error
# together, or the content of OUTPUT_FILE when that is given. A pattern may
# span lines with \n.
# Arguments: COMMAND (a |-separated list), EXPECT_EXIT, REGEX_FILE, WORKDIR, OUTPUT_FILE.
string(REPLACE "|" ";" command "${COMMAND}")
if(OUTPUT_FILE)
  file(REMOVE ${OUTPUT_FILE})
endif()
execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE exitCode)
if(NOT exitCode STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit code ${exitCode}, expected ${EXPECT_EXIT}\n${output}\n${errors}")
endif()
set(output "${output}${errors}")
if(OUTPUT_FILE)
  if(NOT EXISTS ${OUTPUT_FILE})
    message(FATAL_ERROR "${OUTPUT_FILE} was not written")
  endif()
  file(READ ${OUTPUT_FILE} output)
endif()
file(STRINGS ${REGEX_FILE} patterns)
foreach(pattern IN LISTS patterns)
  string(REPLACE "\\n" "\n" pattern "${pattern}")  # \n in a pattern: a line end
  if(NOT output MATCHES "${pattern}")
    message(FATAL_ERROR "no match for \"${pattern}\" in:\n${output}")
  endif()
endforeach()
