# Runs one command of the SWF tools and checks its exit code, that its output
# (standard output and error together) matches EXPECT, and, when NOT_WRITTEN
# is given, that the command left no such file.
#   -DCOMMAND=a|b|c -DEXPECT_EXIT=n -DEXPECT=regex [-DNOT_WRITTEN=path]
string(REPLACE "|" ";" command "${COMMAND}")
if(NOT_WRITTEN)
  file(REMOVE ${NOT_WRITTEN})
endif()
execute_process(COMMAND ${command} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
set(output "${output}${errors}")
if(NOT status STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit ${status}, expected ${EXPECT_EXIT}:\n${output}")
endif()
if(NOT output MATCHES "${EXPECT}")
  message(FATAL_ERROR "no match for \"${EXPECT}\" in:\n${output}")
endif()
if(NOT_WRITTEN AND EXISTS ${NOT_WRITTEN})
  message(FATAL_ERROR "${NOT_WRITTEN} was written")
endif()
