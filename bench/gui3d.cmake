nevrik_bench(gui3d ${CMAKE_CURRENT_SOURCE_DIR}/Gui3dBench.cpp LIBRARIES nevrik::gui3d)
