# Metafile record walks: the checks over the samples and the hostile corpus and the fuzzer.
tetrafol_native_format(metafile ${ROOT}/graphics/metafile/MetafileRecords.cpp ${CMAKE_CURRENT_LIST_DIR}/MetafileSamples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NativeMetafileChecks.cpp ${CMAKE_CURRENT_LIST_DIR}/MetafileFuzzTarget.cpp)
