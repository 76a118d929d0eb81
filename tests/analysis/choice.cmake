# Tests of the analysis: choice.
# Session queries, best times, ticks and sort; the calendar's workings.
pitrova_add_test(test_analysis_sessionchoice SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sessionchoice.cpp LIBS pv_analysis pitrova_testsupport)
pitrova_add_test(test_analysis_calendar SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_calendar.cpp LIBS pv_analysis pitrova_testsupport)
# Screenshots of the windows over simulated sessions (a tool, not a test).
add_executable(analysis_choiceshots ${CMAKE_CURRENT_LIST_DIR}/choiceshots.cpp)
set_target_properties(analysis_choiceshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(analysis_choiceshots PRIVATE pv_analysisui pv_kromsim pitrova_testsupport)
# Windows: range dialog, calendar browser, Template chooser, session and lap chooser.
pitrova_add_test(test_analysis_uwyborZakresu SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uwyborZakresu.cpp LIBS pv_analysisui pitrova_testsupport Qt6::Test GUI)
pitrova_add_test(test_analysis_uprocesBrowser SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uprocesBrowser.cpp LIBS pv_analysisui pitrova_testsupport Qt6::Test GUI)
pitrova_add_test(test_analysis_utemplate SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_utemplate.cpp LIBS pv_analysisui pitrova_testsupport Qt6::Test GUI)
pitrova_add_test(test_analysis_ulistaokrazen SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ulistaokrazen.cpp LIBS pv_analysisui pitrova_testsupport Qt6::Test GUI)
