target_sources(pv_analysisui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/uwykrescale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwykresmdilapy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwykresczasyMDI.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwykres.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwykreslaptolap.cpp
)
target_sources(pv_analysisui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/channelchartwindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chartpanels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sessionschartwindow.cpp
)
target_sources(pv_analysis PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/chartcore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lapdiagram.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sessioncharts.cpp
)
