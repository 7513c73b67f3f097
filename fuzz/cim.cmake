# Fuzz targets for the CIM-XML codec and the object path text form. Each one decodes the
# input and, when that succeeds, encodes it again and checks that the second decode gives
# the same objects, so the fuzzer hunts for wrong round trips as well as for crashes.
#   build-fuzz/bin/fuzz_cim_response fuzz/corpus-response fuzz/seeds/cim_response -dict=fuzz/seeds/cim-xml.dict

# Coverage feedback needs the library instrumented too, not only the fuzzer's own file.
target_compile_options(orv_cim PRIVATE -fsanitize=fuzzer-no-link,address,undefined)

orv_add_fuzzer(fuzz_cim_response SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzCIMResponse.cpp LIBS orv_cim)
orv_add_fuzzer(fuzz_cim_export_request SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzCIMExportRequest.cpp LIBS orv_cim)
orv_add_fuzzer(fuzz_cim_object_path SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzCIMObjectPath.cpp LIBS orv_cim)

# Whole connections to the servers of this process over 127.87.20.x; every input is one
# connection, written and then read until the server closes it.
#   build-fuzz/bin/fuzz_http_server_request fuzz/corpus-http fuzz/seeds/http_request
#   build-fuzz/bin/fuzz_cim_listener fuzz/corpus-listener fuzz/seeds/cim_listener -dict=fuzz/seeds/cim-xml.dict
orv_add_fuzzer(fuzz_http_server_request SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzHttpServerRequest.cpp LIBS orv_cim)
orv_add_fuzzer(fuzz_cim_listener SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzCIMListener.cpp LIBS orv_cim)
