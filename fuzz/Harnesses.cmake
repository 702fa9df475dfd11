# SPDX-License-Identifier: BSD-3-Clause
# The harness list shared by the fuzzer build (fuzz/CMakeLists.txt) and the
# corpus replay tests (fuzz/CorpusReplay.cmake): one harness per top-level
# class.
set(TARVESH_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(TARVESH_FUZZ_CLASSES
  PalletDesc RecordingFragment RecordingFragmentEntry DataReference FrameTable Track)

# tarvesh_harness_target(<target> <class> <sources>...): an executable running
# the harness body for <class>, linked with the library and the oracle. The
# harness forces each varint kernel in turn, an internal of the library, so
# it links the library's objects rather than the shared library.
function(tarvesh_harness_target target class)
  add_executable(${target} ${ARGN})
  target_compile_definitions(${target} PRIVATE TARVESH_FUZZ_CLASS=${class})
  target_link_libraries(${target} PRIVATE TarveshProtoBufObjects tarvesh_test_support
    tarvesh_warnings)
endfunction()

# The tarvesh command's record reader (tools/tarvesh), whole-input and
# delimited, over every record type: fuzz_RecordReader and
# CorpusReplay.RecordReader, corpus in fuzz/corpus/RecordReader.
function(tarvesh_record_reader_target target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE tarvesh_records TarveshProtoBuf tarvesh_warnings)
endfunction()
