nevrik_bench(dirtypass ${CMAKE_CURRENT_SOURCE_DIR}/DirtyPassBench.cpp LIBRARIES nevrik::scene3d)
