# cmake -DSOURCE=<dir> -DBINARY=<dir> -DARGS=<configure args> -P Build.cmake
# Configures the consumer project afresh, builds it and runs the program.
file(REMOVE_RECURSE ${BINARY})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} ${ARGS} COMMAND_ERROR_IS_FATAL ANY)
# Only the program and what it links: a user builds no more of nevrik than that.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target consumer COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${BINARY}/consumer COMMAND_ERROR_IS_FATAL ANY)
