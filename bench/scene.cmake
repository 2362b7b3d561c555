nevrik_bench(scene ${CMAKE_CURRENT_SOURCE_DIR}/SceneBench.cpp LIBRARIES nevrik::scene3d nevrik::graphics3d_loading)
# Counts heap allocations, to show that a pick makes none.
target_sources(nevrik_scene_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/SampleScene.cpp
                                          ${CMAKE_CURRENT_SOURCE_DIR}/CountingAllocator.cpp)

# The benchmark's picks replayed for an instruction-counting profiler.
add_executable(nevrik_pick_replay ${CMAKE_CURRENT_SOURCE_DIR}/PickReplay.cpp
                                  ${CMAKE_CURRENT_SOURCE_DIR}/SampleScene.cpp)
target_link_libraries(nevrik_pick_replay PRIVATE nevrik::scene3d nevrik::graphics3d_loading nevrik_warnings)

# The scene shows the generator's model, made afresh at each size.
foreach(program nevrik_scene_bench nevrik_pick_replay)
    add_dependencies(${program} nevrik_modelgen)
    target_compile_definitions(${program} PRIVATE NEVRIK_MODELGEN="$<TARGET_FILE:nevrik_modelgen>")
endforeach()
