target_sources(pv_analysis PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sessiontree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysissession.cpp
)
target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/upanelsesji.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis.cpp
)
