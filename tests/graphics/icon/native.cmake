# The icon directory reader: checks over built and hostile files and a fuzzer.
tetrafol_native_format(icon ${ROOT}/graphics/icon/IconDirectory.cpp ${CMAKE_CURRENT_LIST_DIR}/IconSamples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NativeIconChecks.cpp ${CMAKE_CURRENT_LIST_DIR}/IconFuzzTarget.cpp
  FUZZ_DEFINITIONS ICO_MAX_IMAGE_PIXELS=0x100000)
