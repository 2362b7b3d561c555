# nevrik_models_bench: loading, optimising and drawing the generated sample
# model; needs a display (scripts/with-display.sh).
nevrik_bench(models ${CMAKE_CURRENT_SOURCE_DIR}/ModelsBench.cpp LIBRARIES nevrik::graphics3d_loading)
target_include_directories(nevrik_models_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(nevrik_models_bench nevrik_modelgen)
target_compile_definitions(nevrik_models_bench PRIVATE NEVRIK_MODELGEN="$<TARGET_FILE:nevrik_modelgen>")
