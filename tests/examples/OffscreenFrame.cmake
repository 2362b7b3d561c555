# cmake -DPROGRAM=<offscreen_frame> -DCHECK=<nevrik_check_frame> -DMODEL=<model file>
#       -DNOT_A_MODEL=<file of another kind> -P OffscreenFrame.cmake
# The frame of MODEL is a 640 x 480 PNG showing the model; every failure ends
# with status 1 and one line on standard error naming the file, a wrong
# command line with status 2.
execute_process(COMMAND mktemp -d OUTPUT_VARIABLE folder OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)

macro(fail text)
    file(REMOVE_RECURSE ${folder})
    message(FATAL_ERROR "${text}")
endmacro()

# Runs PROGRAM with the arguments after the two: its status must be `status`,
# and, for a failure, its standard error one line matching `pattern`.
function(expect status pattern)
    execute_process(COMMAND ${PROGRAM} ${ARGN} RESULT_VARIABLE actual ERROR_VARIABLE text)
    if(NOT actual STREQUAL status)
        fail("offscreen_frame ${ARGN}: status ${actual}, not ${status}: ${text}")
    endif()
    if(NOT status EQUAL 0 AND NOT text MATCHES "^[^\n]*${pattern}[^\n]*\n$")
        fail("offscreen_frame ${ARGN}: not one line matching \"${pattern}\": ${text}")
    endif()
endfunction()

expect(0 "" ${MODEL} ${folder}/frame.png)
execute_process(COMMAND ${CHECK} ${folder}/frame.png 640 480 RESULT_VARIABLE checked ERROR_VARIABLE text)
if(NOT checked EQUAL 0)
    fail("The frame of ${MODEL}: ${text}")
endif()

expect(1 "${folder}/absent.3ds" ${folder}/absent.3ds ${folder}/absent.png)
if(EXISTS ${folder}/absent.png)
    fail("A model that cannot be read left an image behind")
endif()
expect(1 "${NOT_A_MODEL}: no model reader recognises its content" ${NOT_A_MODEL} ${folder}/other.png)
expect(1 "${folder}/no/such/folder/frame.png" ${MODEL} ${folder}/no/such/folder/frame.png)
expect(2 "usage: offscreen_frame MODEL OUTPUT.png" ${MODEL})
file(REMOVE_RECURSE ${folder})
