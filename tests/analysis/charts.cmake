# Tests of the analysis: charts.
pitrova_add_test(test_analysis_chartcore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_chartcore.cpp LIBS pv_analysis)
pitrova_add_test(test_analysis_uwykrescale SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uwykrescale.cpp LIBS pv_ui pitrova_testsupport Qt6::Test GUI)
pitrova_add_test(test_analysis_uwykresmdilapy SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uwykresmdilapy.cpp LIBS pv_ui pitrova_testsupport Qt6::Test GUI)
