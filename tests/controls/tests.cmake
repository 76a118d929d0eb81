# Tests of tests/controls: pitrova_add_test(<name> SOURCES ${CMAKE_CURRENT_LIST_DIR}/<file>.cpp [GUI])
pitrova_add_test(test_controls_MathCtrl SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_MathCtrl.cpp LIBS pv_controls Qt6::Test GUI)
pitrova_add_test(test_controls_ButtonComps SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ButtonComps.cpp LIBS pv_controls Qt6::Test GUI)
pitrova_add_test(test_controls_EDBImage SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_EDBImage.cpp LIBS pv_controls Qt6::Test GUI)
