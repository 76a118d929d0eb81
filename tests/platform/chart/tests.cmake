# Tests of the chart widget.
pitrova_add_test(test_platform_chartmath SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_chartmath.cpp LIBS pv_platform)
pitrova_add_test(test_platform_chart SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_chart.cpp LIBS pv_platformui Qt6::Test GUI)
