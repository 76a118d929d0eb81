# Tests of tests/platform: pitrova_add_test(<name> SOURCES ${CMAKE_CURRENT_LIST_DIR}/<file>.cpp [GUI])
pitrova_add_test(test_platform_usb_simkey SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_usb_simkey.cpp LIBS pv_platform)
pitrova_add_test(test_platform_inifile SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_inifile.cpp LIBS pv_platform)
pitrova_add_test(test_platform_memtable SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_memtable.cpp LIBS pv_platform Qt6::Test)
