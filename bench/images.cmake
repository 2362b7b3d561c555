nevrik_bench(images ${CMAKE_CURRENT_SOURCE_DIR}/ImagesBench.cpp LIBRARIES nevrik::graphics PNG::PNG JPEG::JPEG GIF::GIF)
target_include_directories(nevrik_images_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
