# Drivers, tracks, vehicle set-ups: catalogue logic (pv_profiles) and windows (pv_ui).

# Catalogue editors: the driver, track and vehicle set-up profile stores
# (pv_profiles, no widgets) and their windows (pv_ui).
add_library(pv_profiles STATIC ${PV_EMPTY_SOURCE}
  ${CMAKE_CURRENT_LIST_DIR}/driverstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trackstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vehiclestore.cpp
)
target_include_directories(pv_profiles PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pv_profiles PUBLIC pv_data)

target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ukierowca.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unowycarSet.cpp
)
target_link_libraries(pv_ui PUBLIC pv_profiles)
# End of the catalogue editors.
