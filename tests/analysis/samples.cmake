# Tests of the analysis: samples.
pitrova_add_test(test_analysis_sessionload SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sessionload.cpp
  LIBS pv_analysis pv_intake pv_kromsim pitrova_testsupport Qt6::Test)
