nevrik_bench(scene ${CMAKE_CURRENT_SOURCE_DIR}/SceneBench.cpp LIBRARIES nevrik::scene3d)
