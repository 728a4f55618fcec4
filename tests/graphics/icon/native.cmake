# The icon directory reader: checks over built and hostile files, a fuzzer, and its seeds.
add_library(icon_core STATIC ${ROOT}/graphics/IconDirectory.cpp ${ROOT}/tests/support/IconSamples.cpp)

add_executable(icon_native_checks ${CMAKE_CURRENT_LIST_DIR}/NativeIconChecks.cpp)
target_link_libraries(icon_native_checks icon_core)

# Instrumented for coverage, with a smaller pixel bound so that inputs claiming big images
# are refused early in every run.
add_library(icon_core_fuzz STATIC ${ROOT}/graphics/IconDirectory.cpp)
target_compile_options(icon_core_fuzz PRIVATE -fsanitize=fuzzer-no-link)
target_compile_definitions(icon_core_fuzz PRIVATE ICO_MAX_IMAGE_PIXELS=0x100000)
add_executable(icon_fuzz ${CMAKE_CURRENT_LIST_DIR}/IconFuzzTarget.cpp)
target_compile_options(icon_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(icon_fuzz PRIVATE -fsanitize=fuzzer)
target_link_libraries(icon_fuzz icon_core_fuzz)

add_executable(icon_write_corpus ${CMAKE_CURRENT_LIST_DIR}/WriteIconCorpus.cpp)
target_link_libraries(icon_write_corpus icon_core)
