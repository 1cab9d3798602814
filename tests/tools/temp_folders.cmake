# Runs a command with a temporary folder of its own and checks what it leaves
# there: nothing, or (KEPT=1) the one folder it says it kept.
# Arguments: COMMAND (a |-separated list), KEPT, WORKDIR (a scratch folder).
string(REPLACE "|" ";" command "${COMMAND}")
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${WORKDIR} ${command} WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE exitCode)
if(NOT exitCode STREQUAL 0)
  message(FATAL_ERROR "exit code ${exitCode}\n${output}\n${errors}")
endif()
file(GLOB left ${WORKDIR}/*)
list(LENGTH left count)
if(NOT count EQUAL KEPT)
  message(FATAL_ERROR "${count} folder(s) left, expected ${KEPT}: ${left}\n${errors}")
endif()
if(KEPT AND NOT errors MATCHES "the run's folder is kept: ${left}")
  message(FATAL_ERROR "the kept folder ${left} was not named:\n${errors}")
endif()
if(KEPT AND NOT EXISTS "${left}/documents/My Games")
  message(FATAL_ERROR "the kept folder ${left} lacks the plug-in's log folder")
endif()
