# Session analysis.  pv_analysis: the widget-free half (sample loading,
# session tree, queries, calendar, chart and map computations); windows go
# to pv_analysisui.  Each part of the analysis lists its files in its own file.
add_library(pv_analysis STATIC)
target_include_directories(pv_analysis PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pv_analysis PUBLIC pv_shell pv_data)
add_library(pv_analysisui STATIC)
target_link_libraries(pv_analysisui PUBLIC pv_analysis pv_profilesui pv_controls)

include(${CMAKE_CURRENT_LIST_DIR}/samples.cmake)  # sample loading into memGPS and memMinMax
include(${CMAKE_CURRENT_LIST_DIR}/panel.cmake)    # session tree, session panel, main window wiring
include(${CMAKE_CURRENT_LIST_DIR}/choice.cmake)   # Template chooser, range dialog, calendar, lap chooser
include(${CMAKE_CURRENT_LIST_DIR}/charts.cmake)   # chart windows
include(${CMAKE_CURRENT_LIST_DIR}/gps.cmake)      # GPS windows
