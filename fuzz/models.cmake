# nevrik_models_fuzzer: arbitrary bytes as a 3DS model, read by Translator3DS.
# Seeds: tests/data/models (a one-quad file using every chunk the reader
# knows) and the sample's model written by nevrik_modelgen at build time, at
# its smallest and at about 1000 triangles, into <build>/fuzz/models-seeds.
# Run it as, for instance:
#   nevrik_models_fuzzer -max_total_time=600 corpus <build>/fuzz/models-seeds tests/data/models
nevrik_fuzzer(models ${CMAKE_CURRENT_SOURCE_DIR}/Model3DSFuzzer.cpp LIBRARIES nevrik::graphics3d_loading)
target_include_directories(nevrik_models_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(nevrik_models_fuzzer nevrik_modelgen)
set(models_seeds ${CMAKE_CURRENT_BINARY_DIR}/models-seeds)
foreach(triangles IN ITEMS 1 1000)
    set(models_work ${CMAKE_CURRENT_BINARY_DIR}/models-work/${triangles})
    add_custom_command(TARGET nevrik_models_fuzzer POST_BUILD
        COMMAND $<TARGET_FILE:nevrik_modelgen> --triangles ${triangles} --output ${models_work}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${models_seeds}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${models_work}/f5e_05.3ds ${models_seeds}/t${triangles}.3ds
        VERBATIM)
endforeach()

# nevrik_obj_fuzzer: arbitrary bytes as a Wavefront OBJ model, read by
# TranslatorOBJ. Seeds, written here into <build>/fuzz/obj-seeds: a cube in
# every index form with materials, and a polygon with relative indices.
#   nevrik_obj_fuzzer -max_total_time=600 corpus <build>/fuzz/obj-seeds
nevrik_fuzzer(obj ${CMAKE_CURRENT_SOURCE_DIR}/ModelOBJFuzzer.cpp LIBRARIES nevrik::graphics3d_loading)
target_include_directories(nevrik_obj_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests)
set(obj_seeds ${CMAKE_CURRENT_BINARY_DIR}/obj-seeds)
file(WRITE ${obj_seeds}/cube.obj
    "# cube\nmtllib cube.mtl\nv -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 -1\nvn 0 0 1\no cube\nusemtl red\n"
    "f 1/1/1 4/4/1 3/3/1 2/2/1\nf 5/1/2 6/2/2 7/3/2 8/4/2\nusemtl\nf 1//1 2//1 6//1 5//1\n"
    "f 2 3 7 6\ng side\nf 3/3 4/4 8/1 7/2\nf 4 1 5 8\nl 1 7\n")
file(WRITE ${obj_seeds}/polygon.obj
    "v 0 0 0\nv 1 0 0\nv 2 1 0\nv 1 2 0\nv 0 1 0\nf -5 -4 -3 -2 -1\ns 1\nf 1 2 3\n")

# nevrik_gltf_fuzzer: arbitrary bytes as a glTF 2.0 model, JSON or binary, read
# by TranslatorGLTF. Seeds: tests/data/models/cube.gltf and cube.glb, a cube
# and its strip and fan with every index type, a sparse accessor, a node
# hierarchy (one transform mirroring), three alpha modes and an embedded
# picture, as a data URI and as a buffer view.
#   nevrik_gltf_fuzzer -max_total_time=600 corpus tests/data/models
nevrik_fuzzer(gltf ${CMAKE_CURRENT_SOURCE_DIR}/ModelGLTFFuzzer.cpp LIBRARIES nevrik::graphics3d_loading)
target_include_directories(nevrik_gltf_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/tests)
