# Tests of the analysis: charts.
pitrova_add_test(test_analysis_chartcore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_chartcore.cpp LIBS pv_analysis)
