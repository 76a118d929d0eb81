# Tests of tests/profiles: pitrova_add_test(<name> SOURCES ${CMAKE_CURRENT_LIST_DIR}/<file>.cpp [GUI])
# Catalogue editors: stores and windows.
pitrova_add_test(test_profiles_driverstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_driverstore.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_trackstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_trackstore.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_vehiclestore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_vehiclestore.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_editors SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_editors.cpp LIBS pv_profiles pitrova_testsupport pv_ui Qt6::Test GUI)
