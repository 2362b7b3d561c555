nevrik_bench(geometry ${CMAKE_CURRENT_SOURCE_DIR}/GeometryBench.cpp LIBRARIES nevrik::geometry)
