# Tests of the analysis: panel.
# Session tree: laps, sectors, filters, marks, check column.
pitrova_add_test(test_analysis_sessiontree SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sessiontree.cpp LIBS pv_analysis pitrova_testsupport)
# Session panel in the main window: openers, reloads, channel boxes, check column, buttons.
pitrova_add_test(test_analysis_upanelsesji SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_upanelsesji.cpp LIBS pv_ui pitrova_testsupport Qt6::Test GUI)
# The data grid the panel shows its tree in (a platform piece the panel owns).
pitrova_add_test(test_platform_dbgrid SOURCES ${CMAKE_CURRENT_LIST_DIR}/../platform/test_dbgrid.cpp LIBS pv_platform Qt6::Test GUI)
