# Metafile record walks: the checks over the samples and the hostile corpus, the fuzzer, and
# the corpus writer for its seeds.
tetrafol_native_format(metafile ${ROOT}/graphics/metafile/MetafileRecords.cpp ${CMAKE_CURRENT_LIST_DIR}/MetafileSamples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NativeMetafileChecks.cpp ${CMAKE_CURRENT_LIST_DIR}/MetafileFuzzTarget.cpp ${CMAKE_CURRENT_LIST_DIR}/WriteMetafileCorpus.cpp)
