# SPDX-License-Identifier: BSD-3-Clause
# Replays the committed seed corpus of every harness as ordinary tests
# (CorpusReplay.<class>), built by whatever compiler builds the tests.
# Included from fuzz/CMakeLists.txt in a build with tests.
include(${CMAKE_CURRENT_LIST_DIR}/Harnesses.cmake)
foreach(class ${TARVESH_FUZZ_CLASSES})
  tarvesh_harness_target(replay_${class} ${class}
    ${TARVESH_FUZZ_DIR}/ParseFuzzer.cc ${TARVESH_FUZZ_DIR}/ReplayMain.cc)
  add_test(NAME CorpusReplay.${class}
    COMMAND replay_${class} ${TARVESH_FUZZ_DIR}/corpus/${class})
endforeach()
if(TARGET tarvesh_records)
  tarvesh_record_reader_target(replay_RecordReader
    ${TARVESH_FUZZ_DIR}/RecordReaderFuzzer.cc ${TARVESH_FUZZ_DIR}/ReplayMain.cc)
  add_test(NAME CorpusReplay.RecordReader
    COMMAND replay_RecordReader ${TARVESH_FUZZ_DIR}/corpus/RecordReader)
endif()
