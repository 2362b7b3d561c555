nevrik_bench(meshes ${CMAKE_CURRENT_SOURCE_DIR}/MeshesBench.cpp LIBRARIES nevrik::graphics3d_core)
