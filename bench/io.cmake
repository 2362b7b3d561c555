nevrik_bench(io ${CMAKE_CURRENT_SOURCE_DIR}/IoBench.cpp LIBRARIES nevrik::io)
