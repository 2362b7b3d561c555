nevrik_bench(fonts ${CMAKE_CURRENT_SOURCE_DIR}/FontsBench.cpp LIBRARIES nevrik::freetype)
