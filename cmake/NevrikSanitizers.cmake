# NEVRIK_SANITIZE applies to everything built below, the engine and its tests alike,
# so that an instrumented test never links uninstrumented engine code.
if(NEVRIK_SANITIZE)
    add_compile_options(-fsanitize=${NEVRIK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${NEVRIK_SANITIZE})
endif()

# Fuzz builds instrument the whole engine for coverage; only the fuzz targets
# link libFuzzer's main.
if(NEVRIK_BUILD_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
