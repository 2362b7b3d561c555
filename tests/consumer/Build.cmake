# cmake -DSOURCE=<dir> -DBINARY=<dir> -DARGS=<configure args> [-DMODEL=<file> -DCHECK=<checker>]
#       -P Build.cmake
# Configures the consumer project afresh, builds it and runs the program; with
# MODEL it renders a frame of it into the build folder, which CHECK then reads.
file(REMOVE_RECURSE ${BINARY})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} ${ARGS} COMMAND_ERROR_IS_FATAL ANY)
# Only the program and what it links: a user builds no more of nevrik than that.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target consumer COMMAND_ERROR_IS_FATAL ANY)
if(MODEL)
    # Sanitizer builds: the software renderer leaks once as its driver unloads
    # (see tests/examples/CMakeLists.txt).
    set(ENV{ASAN_OPTIONS} "detect_leaks=0:abort_on_error=1")
    execute_process(COMMAND ${BINARY}/consumer ${MODEL} ${BINARY}/frame.png COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CHECK} ${BINARY}/frame.png 640 480 COMMAND_ERROR_IS_FATAL ANY)
else()
    execute_process(COMMAND ${BINARY}/consumer COMMAND_ERROR_IS_FATAL ANY)
endif()
