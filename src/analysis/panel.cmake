target_sources(pv_analysis PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sessiontree.cpp
  # The chart class names and the calls the main window makes into the analysis.
  ${CMAKE_CURRENT_LIST_DIR}/analysishooks.h
  ${CMAKE_CURRENT_LIST_DIR}/analysissession.cpp
)
target_sources(pv_analysisui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/upanelsesji.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis.cpp
)
