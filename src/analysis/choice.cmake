target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/utemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistaokrazen.cpp
)
