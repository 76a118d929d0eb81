target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/uwykresGPS.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ugpspowiazany.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ugpsporownaj.cpp
)
