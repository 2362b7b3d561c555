# nevrik_models_fuzzer: arbitrary bytes as a 3DS model, read by Translator3DS.
# Seeds: tests/data/models (a one-quad file using every chunk the reader
# knows) and the sample's model written by nevrik_modelgen at build time, at
# its smallest and at about 1000 triangles, into <build>/fuzz/models-seeds.
# Run it as, for instance:
#   nevrik_models_fuzzer -max_total_time=600 corpus <build>/fuzz/models-seeds tests/data/models
nevrik_fuzzer(models ${CMAKE_CURRENT_SOURCE_DIR}/Model3DSFuzzer.cpp LIBRARIES nevrik::graphics3d_loading)
target_include_directories(nevrik_models_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(nevrik_models_fuzzer nevrik_modelgen)
set(models_seeds ${CMAKE_CURRENT_BINARY_DIR}/models-seeds)
foreach(triangles IN ITEMS 1 1000)
    set(models_work ${CMAKE_CURRENT_BINARY_DIR}/models-work/${triangles})
    add_custom_command(TARGET nevrik_models_fuzzer POST_BUILD
        COMMAND $<TARGET_FILE:nevrik_modelgen> --triangles ${triangles} --output ${models_work}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${models_seeds}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${models_work}/f5e_05.3ds ${models_seeds}/t${triangles}.3ds
        VERBATIM)
endforeach()
