# JPEG decoding natively: libjpeg-turbo built from deps/src-jpeg with the sanitizers (once,
# by build-jpeg.sh), the program's own decoder over it, the checks and the fuzzer.
set(JPEG_NATIVE ${CMAKE_BINARY_DIR}/libjpeg-turbo)
execute_process(COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/build-jpeg.sh ${JPEG_NATIVE} RESULT_VARIABLE jpeg_built)
if(NOT jpeg_built EQUAL 0)
  message(FATAL_ERROR "the native libjpeg-turbo build failed")
endif()
add_library(jpeg_native STATIC IMPORTED)
set_target_properties(jpeg_native PROPERTIES IMPORTED_LOCATION ${JPEG_NATIVE}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${JPEG_NATIVE}/include)

# The fuzzer's copy of the decoder has smaller bounds on pixels, scans and the library's
# buffers, so that the fuzzer's time goes into the parser rather than into decoding big
# pictures. 0x3000 bytes of pixels is 64 x 64 at 24 bits (110 x 110 at 8): bigger ones
# are refused as too big, below the fuzz target's own cap, so that path is fuzzed too.
tetrafol_native_format(jpeg
  "${ROOT}/graphics/jpeg/JpegCodec.cpp;${ROOT}/graphics/jpeg/ExifOrientation.cpp;${ROOT}/graphics/jpeg/TurnPixels.cpp"
  ${CMAKE_CURRENT_LIST_DIR}/JpegSamples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NativeJpegChecks.cpp ${CMAKE_CURRENT_LIST_DIR}/JpegFuzzTarget.cpp
  FUZZ_DEFINITIONS PIXEL_LIMIT_BYTES=0x3000 JPEG_MAX_SCANS=64 JPEG_MAX_LIBRARY_MEMORY=0x1000000)
target_link_libraries(jpeg_core PUBLIC jpeg_native)
target_link_libraries(jpeg_core_fuzz PUBLIC jpeg_native)
# The library carries the fuzzer's coverage hooks: every program linking it takes them too.
target_link_options(jpeg_core INTERFACE -fsanitize=fuzzer-no-link)
