# Instruments every library of a fuzz build for libFuzzer, AddressSanitizer and UBSan; only
# the fuzz targets link libFuzzer's own main (fuzz/CMakeLists.txt). The libstdc++ checks
# turn an index past a vector's or span's end into a report instead of a silent read.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TESSARINE_FUZZ needs clang's libFuzzer: configure with CC=clang CXX=clang++")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -D_GLIBCXX_ASSERTIONS -D_GLIBCXX_SANITIZE_VECTOR)
add_link_options(-fsanitize=address,undefined)
