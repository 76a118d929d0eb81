# Stand-in layers for what the original platform provided.
# pv_platform: no widgets (in-memory datasets, ini files, date-time
# convention, USB backends, JPEG, process start).
add_library(pv_platform STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tdatetime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inifile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_column.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_bulk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_locate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memtable_views.cpp
  ${CMAKE_CURRENT_LIST_DIR}/podarray.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usb_libusb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usb_simkey.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpegio.cpp
)
target_include_directories(pv_platform PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pv_platform PUBLIC Qt6::Core Qt6::Gui PkgConfig::LIBUSB0 JPEG::JPEG)

# Widget half: message boxes, file dialogs, modal showing, the default error box.
target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mdichild.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dbgrid.cpp
)
target_link_libraries(pv_ui PUBLIC pv_platform)

include(${CMAKE_CURRENT_LIST_DIR}/chart/sources.cmake)
