# The fuzzing build: the decoders and their fuzz targets only, instrumented for libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "TALLYROOM_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
# Qt's libraries are not instrumented, so the vptr check would misjudge their objects.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=vptr
                    -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
add_subdirectory(src/shared)
add_subdirectory(src/worker)
add_subdirectory(fuzz)
