# Tests of the analysis: charts.
pitrova_add_test(test_analysis_chartcore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_chartcore.cpp LIBS pv_analysis)
pitrova_add_test(test_analysis_uwykrescale SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uwykrescale.cpp LIBS pv_shellui pv_analysisui pitrova_testsupport Qt6::Test GUI)
pitrova_add_test(test_analysis_uwykresmdilapy SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uwykresmdilapy.cpp LIBS pv_analysisui pitrova_testsupport Qt6::Test GUI)
pitrova_add_test(test_analysis_lapdiagram SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_lapdiagram.cpp LIBS pv_analysis)
add_library(pitrova_simsessions STATIC ${CMAKE_CURRENT_LIST_DIR}/sim_sessions.cpp)
target_link_libraries(pitrova_simsessions PUBLIC pv_intake pv_kromsim pitrova_testsupport)
pitrova_add_test(test_analysis_sessioncharts SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sessioncharts.cpp
  LIBS pv_analysis pitrova_simsessions)
# Sessions of more laps than the logger's lap byte counts, through every analysis table.
pitrova_add_test(test_analysis_longsessions SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_longsessions.cpp
  LIBS pv_analysis pitrova_simsessions)
# Screenshots of the three windows (not a test): analysis_chartshots [folder]
add_executable(analysis_chartshots ${CMAKE_CURRENT_LIST_DIR}/chartshots.cpp)
set_target_properties(analysis_chartshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(analysis_chartshots PRIVATE pv_shellui pv_analysisui pitrova_simsessions)
pitrova_add_test(test_analysis_chartwindows SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_chartwindows.cpp
  LIBS pv_analysisui pitrova_simsessions GUI)
pitrova_add_test(test_analysis_channelcharts_sim SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_channelcharts_sim.cpp
  LIBS pv_analysisui pitrova_simsessions Qt6::Test GUI)
# Screenshots of the whole-session and lap-overlay charts (not a test):
# analysis_channelchartshots [folder]
add_executable(analysis_channelchartshots ${CMAKE_CURRENT_LIST_DIR}/channelchartshots.cpp)
set_target_properties(analysis_channelchartshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(analysis_channelchartshots PRIVATE pv_analysisui pitrova_simsessions)
# Screenshots of every analysis window over one session of more laps than
# the logger's lap byte counts (not a test): analysis_longsessionshots [folder] [laps]
add_executable(analysis_longsessionshots ${CMAKE_CURRENT_LIST_DIR}/longsessionshots.cpp)
set_target_properties(analysis_longsessionshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
target_link_libraries(analysis_longsessionshots PRIVATE pv_shellui pv_analysisui pv_intake pv_kromsim pitrova_testsupport)
