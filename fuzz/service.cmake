# The frame reader of orvvds's socket, with the message decoders behind it. The sources are
# compiled in so the fuzzer sees their coverage.
#   build-fuzz/bin/fuzz_service_frames fuzz/corpus-service fuzz/seeds/service_frames
set(orvraid_dir ${CMAKE_SOURCE_DIR}/src/tools/orvraid)
orv_add_fuzzer(fuzz_service_frames
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzServiceFrames.cpp
          ${orvraid_dir}/FrameReader.cpp ${orvraid_dir}/ServiceProtocol.cpp ${orvraid_dir}/ServiceMessages.cpp
          ${orvraid_dir}/PayloadReader.cpp ${orvraid_dir}/PayloadWriter.cpp)
target_include_directories(fuzz_service_frames PRIVATE ${orvraid_dir})
