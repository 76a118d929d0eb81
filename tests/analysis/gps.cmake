# Tests of the analysis: gps.
add_library(pitrova_gpstest STATIC ${CMAKE_CURRENT_LIST_DIR}/gps_support.cpp)
target_include_directories(pitrova_gpstest PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pitrova_gpstest PUBLIC pv_analysis pitrova_simsessions)
pitrova_add_test(test_analysis_gpsmap SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gpsmap.cpp LIBS pitrova_gpstest)
pitrova_add_test(test_analysis_uwykresGPS SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_uwykresGPS.cpp LIBS pitrova_gpstest pv_analysisui Qt6::Test GUI)
pitrova_add_test(test_analysis_ugpspowiazany SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ugpspowiazany.cpp LIBS pitrova_gpstest pv_analysisui Qt6::Test GUI)
pitrova_add_test(test_analysis_ugpsporownaj SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ugpsporownaj.cpp LIBS pitrova_gpstest pv_analysisui Qt6::Test GUI)
