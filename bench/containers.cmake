nevrik_bench(containers ${CMAKE_CURRENT_SOURCE_DIR}/ContainersBench.cpp LIBRARIES nevrik::container)
