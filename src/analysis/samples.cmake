target_sources(pv_analysis PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sessionload.cpp
)
