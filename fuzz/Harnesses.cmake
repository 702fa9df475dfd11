# The harness list shared by the fuzzer build (fuzz/CMakeLists.txt) and the
# corpus replay tests (fuzz/CorpusReplay.cmake): one harness per top-level
# class.
set(TARVESH_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
set(TARVESH_FUZZ_CLASSES
  PalletDesc RecordingFragment RecordingFragmentEntry DataReference FrameTable Track)

# tarvesh_harness_target(<target> <class> <sources>...): an executable running
# the harness body for <class>, linked with the library and the oracle.
function(tarvesh_harness_target target class)
  add_executable(${target} ${ARGN})
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_compile_definitions(${target} PRIVATE TARVESH_FUZZ_CLASS=${class})
  target_link_libraries(${target} PRIVATE tarvesh_test_support)
endfunction()

# The tarvesh command's record reader (tools/tarvesh), whole-input and
# delimited, over every record type: fuzz_RecordReader and
# CorpusReplay.RecordReader, corpus in fuzz/corpus/RecordReader.
function(tarvesh_record_reader_target target)
  add_executable(${target} ${ARGN})
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_link_libraries(${target} PRIVATE tarvesh_records TarveshProtoBuf)
endfunction()
