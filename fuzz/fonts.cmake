# nevrik_fonts_fuzzer: arbitrary bytes as the one file of a font folder.
# Its seed is a copy of a system DejaVu face, made at build time so that no
# font file is committed. Run it as, for instance:
#   nevrik_fonts_fuzzer -max_len=300000 corpus <build>/fuzz/fonts-seeds
nevrik_fuzzer(fonts ${CMAKE_CURRENT_SOURCE_DIR}/FontFuzzer.cpp LIBRARIES nevrik::freetype)
target_include_directories(nevrik_fonts_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_custom_command(TARGET nevrik_fonts_fuzzer POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/fonts-seeds
    COMMAND ${CMAKE_COMMAND} -E copy_if_different /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Oblique.ttf
            ${CMAKE_CURRENT_BINARY_DIR}/fonts-seeds/
    VERBATIM)
