# Tests of tests/shell/common: pitrova_add_test(<name> SOURCES ${CMAKE_CURRENT_LIST_DIR}/<file>.cpp [GUI])
pitrova_add_test(test_shell_common_stale SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_stale.cpp LIBS pv_common GUIAPP)
pitrova_add_test(test_shell_common_smalldialogs SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_smalldialogs.cpp LIBS pv_commonui Qt6::Test GUI)
