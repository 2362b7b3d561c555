nevrik_bench(messaging ${CMAKE_CURRENT_SOURCE_DIR}/MessagingBench.cpp LIBRARIES nevrik::application)
