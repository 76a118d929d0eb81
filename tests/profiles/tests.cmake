# Tests of tests/profiles: pitrova_add_test(<name> SOURCES ${CMAKE_CURRENT_LIST_DIR}/<file>.cpp [GUI])
# Catalogue editors: stores and windows.
pitrova_add_test(test_profiles_driverstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_driverstore.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_trackstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_trackstore.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_vehiclestore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_vehiclestore.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_editors SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_editors.cpp LIBS pv_profiles pitrova_testsupport pv_ui Qt6::Test GUI)
# Screenshots of the three editors filled in (run by hand under Xvfb; not a test).
add_executable(profiles_editorshots ${CMAKE_CURRENT_LIST_DIR}/editorshots.cpp)
set_target_properties(profiles_editorshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(profiles_editorshots PRIVATE pv_ui pitrova_testsupport)
# Catalogue choosers and list windows.
pitrova_add_test(test_profiles_cataloguelist SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cataloguelist.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_choosers SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_choosers.cpp LIBS pv_profiles pitrova_testsupport pv_ui Qt6::Test GUI)
pitrova_add_test(test_profiles_listwindows SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_listwindows.cpp LIBS pv_profiles pitrova_testsupport pv_ui Qt6::Test GUI)
# Screenshots of the choosers and list windows (run by hand under Xvfb; not a test).
add_executable(profiles_listshots ${CMAKE_CURRENT_LIST_DIR}/listshots.cpp)
set_target_properties(profiles_listshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(profiles_listshots PRIVATE pv_ui pitrova_testsupport Qt6::Test)
# Track transfer files: writer, reader, import passes.
pitrova_add_test(test_profiles_trackfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_trackfile.cpp LIBS pv_profiles pitrova_testsupport)
pitrova_add_test(test_profiles_tracktransfer SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_tracktransfer.cpp LIBS pv_ui pitrova_testsupport Qt6::Test GUI)
# Screenshot of the "Tracks" check list (run by hand under Xvfb; not a test).
add_executable(profiles_trackimportshot ${CMAKE_CURRENT_LIST_DIR}/trackimportshot.cpp)
set_target_properties(profiles_trackimportshot PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(profiles_trackimportshot PRIVATE pv_ui pitrova_testsupport)
