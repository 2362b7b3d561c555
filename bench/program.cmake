nevrik_bench(program ${CMAKE_CURRENT_SOURCE_DIR}/ProgramBench.cpp LIBRARIES nevrik::system)
