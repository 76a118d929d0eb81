# Tests of the analysis: choice.
# Session queries, best times, ticks and sort; the calendar's workings.
pitrova_add_test(test_analysis_sessionchoice SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sessionchoice.cpp LIBS pv_analysis pitrova_testsupport)
pitrova_add_test(test_analysis_calendar SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_calendar.cpp LIBS pv_analysis pitrova_testsupport)
