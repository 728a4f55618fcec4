# Metafile record walks, natively under the sanitizers: the checks over the samples and the
# hostile corpus, the fuzzer, and the corpus writer for its seeds.
add_library(metafile_core STATIC ${ROOT}/graphics/MetafileRecords.cpp ${ROOT}/tests/graphics/MetafileSamples.cpp)

add_executable(metafile_native_checks ${CMAKE_CURRENT_SOURCE_DIR}/NativeMetafileChecks.cpp)
target_link_libraries(metafile_native_checks metafile_core)

add_library(metafile_core_fuzz STATIC ${ROOT}/graphics/MetafileRecords.cpp)
target_compile_options(metafile_core_fuzz PRIVATE -fsanitize=fuzzer-no-link)
add_executable(metafile_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/MetafileFuzzTarget.cpp)
target_compile_options(metafile_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(metafile_fuzz PRIVATE -fsanitize=fuzzer)
target_link_libraries(metafile_fuzz metafile_core_fuzz)

add_executable(metafile_write_corpus ${CMAKE_CURRENT_SOURCE_DIR}/WriteMetafileCorpus.cpp)
target_link_libraries(metafile_write_corpus metafile_core)
