# Compiles the shipped movie again into a fresh file and compares it with the
# build's: one source gives one movie, byte for byte.
#   -DSWFC=compiler -DBUILT=the build's DurabilityMenu.swf -DSOURCES=a;b -DOUT=scratch file
execute_process(COMMAND ${SWFC} --version 8 --stage 1920x1080 --fps 30 -o ${OUT} ${SOURCES} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qm-swfc failed (${status})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${BUILT} ${OUT} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${OUT} differs from ${BUILT}")
endif()
