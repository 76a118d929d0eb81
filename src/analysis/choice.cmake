target_sources(pv_analysis PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sessionchoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calendar.cpp
)
target_sources(pv_analysisui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/choicelook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistaokrazen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwyborZakresu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uprocesBrowser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monthframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uframmiesiac.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ufrmiesiacduzy.cpp
)
