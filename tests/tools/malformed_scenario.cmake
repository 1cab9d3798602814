# Runs qm run on a malformed scenario and checks that it answers exit 2 with
# a message matching the regular expression on the file's first line
# ("// expect: REGEX"), that nothing ran (no trace, no verdict) and that no
# temporary folder was left behind.
# Arguments: QM, SCENARIO, WORKDIR (a scratch folder), and optionally
# NESTED_REPEATS=N: SCENARIO is first written as N repeats nested in each other.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/tmp)
if(NESTED_REPEATS)
  string(REPEAT "{\"repeat\": {\"times\": 1, \"steps\": [" ${NESTED_REPEATS} open)
  string(REPEAT "]}}" ${NESTED_REPEATS} close)
  file(WRITE ${SCENARIO} "// expect: nest more than 64 levels deep\n{\"steps\": [${open}{\"update\": 1}${close}]}\n")
endif()
file(STRINGS ${SCENARIO} firstLine LIMIT_COUNT 1)
string(REGEX REPLACE "^// expect: " "" pattern "${firstLine}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${WORKDIR}/tmp ${QM} run ${SCENARIO}
                WORKING_DIRECTORY ${WORKDIR} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE exitCode)
if(NOT exitCode STREQUAL 2)
  message(FATAL_ERROR "exit code ${exitCode}, expected 2\n${output}\n${errors}")
endif()
if(NOT errors MATCHES "malformed scenario: .*${pattern}")
  message(FATAL_ERROR "no match for \"${pattern}\" in:\n${errors}")
endif()
if(NOT output STREQUAL "")
  message(FATAL_ERROR "something ran:\n${output}")
endif()
file(GLOB left ${WORKDIR}/tmp/*)
if(left)
  message(FATAL_ERROR "left behind: ${left}")
endif()
