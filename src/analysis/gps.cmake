target_sources(pv_analysis PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/gpsmap.cpp
)
target_sources(pv_analysisui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/gpscanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwykresGPS.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwykrespowiazany.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ugpspowiazany.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ugpsporownaj.cpp
)
