# The BMP decoder: checks over built and hostile files and a fuzzer.
tetrafol_native_format(bmp ${ROOT}/graphics/bitmap/BmpDecoder.cpp ${CMAKE_CURRENT_LIST_DIR}/BmpSamples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NativeBmpChecks.cpp ${CMAKE_CURRENT_LIST_DIR}/BmpFuzzTarget.cpp
  FUZZ_DEFINITIONS BMP_MAX_PIXEL_BYTES=0x400000)
# The area-averaging reduction that large bitmaps go through on their way to the printer and
# the screen: checks only (it reads no files).
add_executable(box_native_checks ${ROOT}/graphics/bitmap/BoxReduce.cpp ${CMAKE_CURRENT_LIST_DIR}/NativeBoxReduceChecks.cpp)
