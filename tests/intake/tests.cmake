# Tests of tests/intake: pitrova_add_test(<name> SOURCES ${CMAKE_CURRENT_LIST_DIR}/<file>.cpp [GUI])
pitrova_add_test(test_intake_keylink SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_keylink.cpp LIBS pv_intake)
pitrova_add_test(test_intake_keydownload SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_keydownload.cpp LIBS pv_intake)
pitrova_add_test(test_intake_keyupload SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_keyupload.cpp LIBS pv_intake)
