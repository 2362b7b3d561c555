nevrik_bench(scene ${CMAKE_CURRENT_SOURCE_DIR}/SceneBench.cpp LIBRARIES nevrik::scene3d nevrik::graphics3d_loading)
# The scene shows the generator's model, made afresh at each size.
add_dependencies(nevrik_scene_bench nevrik_modelgen)
target_compile_definitions(nevrik_scene_bench PRIVATE NEVRIK_MODELGEN="$<TARGET_FILE:nevrik_modelgen>")
# Counts heap allocations, to show that a pick makes none.
target_sources(nevrik_scene_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/CountingAllocator.cpp)
