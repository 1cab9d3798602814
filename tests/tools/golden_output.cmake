# Runs a command and compares its standard output with a golden file and its
# exit code with the one expected. Arguments: COMMAND (a |-separated list),
# GOLDEN, EXPECT_EXIT, WORKDIR.
string(REPLACE "|" ";" command "${COMMAND}")
execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE exitCode)
if(NOT exitCode STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit code ${exitCode}, expected ${EXPECT_EXIT}\n${output}\n${errors}")
endif()
file(READ ${GOLDEN} expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "the output differs from ${GOLDEN}:\n${output}")
endif()
