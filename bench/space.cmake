nevrik_bench(space ${CMAKE_CURRENT_SOURCE_DIR}/SpaceBench.cpp LIBRARIES nevrik::geometry)
