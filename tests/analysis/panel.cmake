# Tests of the analysis: panel.
# Session tree: laps, sectors, filters, marks, check column; the analysis
# session that holds it and tells its views.
pitrova_add_test(test_analysis_sessiontree SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sessiontree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_analysissession.cpp LIBS pv_analysis pitrova_testsupport)
# Session panel in the main window: openers, reloads, channel boxes, check column, buttons.
pitrova_add_test(test_analysis_upanelsesji SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_upanelsesji.cpp LIBS pv_shellui pv_analysisui pitrova_testsupport Qt6::Test GUI)
# The data grid the panel shows its tree in (a platform piece the panel owns).
pitrova_add_test(test_platform_dbgrid SOURCES ${CMAKE_CURRENT_LIST_DIR}/../platform/test_dbgrid.cpp LIBS pv_platform Qt6::Test GUI)
# Screenshots of the session panel over imported simulated sessions (run by hand under Xvfb; not a test).
add_executable(analysis_panelshots ${CMAKE_CURRENT_LIST_DIR}/panelshots.cpp)
set_target_properties(analysis_panelshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(analysis_panelshots PRIVATE pv_shellui pv_analysisui pv_intake pv_kromsim pitrova_testsupport)
