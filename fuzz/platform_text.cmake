# Text the platform layer takes from outside: UTF-8 from arrays and UTF-16 from VDS, GUID
# text from the registry. The sources are compiled in so the fuzzer sees their coverage.
orv_add_fuzzer(platform_text_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_text_fuzzer.cpp
          ${CMAKE_SOURCE_DIR}/src/platform/com/TextConversion.cpp
          ${CMAKE_SOURCE_DIR}/src/platform/com/Guid.cpp)
target_include_directories(platform_text_fuzzer PRIVATE ${CMAKE_SOURCE_DIR}/src)
