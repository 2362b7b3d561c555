# One target per image decoder: nevrik_<codec>_fuzzer, e.g. nevrik_bmp_fuzzer.
# Seeds: tests/data/images and tests/data/images/seeds.
foreach(codec IN ITEMS BMP DDS PCX TGA HDR JPG PNG GIF)
    string(TOLOWER ${codec} name)
    nevrik_fuzzer(${name} ${CMAKE_CURRENT_SOURCE_DIR}/${codec}Fuzzer.cpp LIBRARIES nevrik::graphics)
    target_include_directories(nevrik_${name}_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endforeach()
