# Tests of the session analysis; each part lists its tests in its own file.
include(${CMAKE_CURRENT_LIST_DIR}/samples.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/panel.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/choice.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/charts.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/gps.cmake)
