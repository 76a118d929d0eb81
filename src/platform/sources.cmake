# Stand-in layers for what the original platform provided.
# pv_platform: no widgets (in-memory datasets, ini files, date-time
# convention, USB backends, JPEG, process start).
add_library(pv_platform STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tdatetime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inifile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/columnview.h
  ${CMAKE_CURRENT_LIST_DIR}/memtable_column.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_bulk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_locate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_views.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_impl.h
  ${CMAKE_CURRENT_LIST_DIR}/podarray.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usb_libusb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usb_simkey.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpegio.cpp
)
target_include_directories(pv_platform PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pv_platform PUBLIC Qt6::Core Qt6::Gui PkgConfig::LIBUSB0 JPEG::JPEG)

# pv_platformui, the widget half: message boxes, file dialogs, modal
# showing, the default error box, the data grid, the chart widget and the
# window host the child windows open in.
add_library(pv_platformui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windowhost.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dbgrid.cpp
)
target_link_libraries(pv_platformui PUBLIC pv_platform Qt6::Widgets)

include(${CMAKE_CURRENT_LIST_DIR}/chart/sources.cmake)
