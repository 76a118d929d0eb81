# Tests of the analysis: panel.
# Session tree: laps, sectors, filters, marks, check column.
pitrova_add_test(test_analysis_sessiontree SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sessiontree.cpp LIBS pv_analysis pitrova_testsupport)
