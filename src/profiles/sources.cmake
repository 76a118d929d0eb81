# Drivers, tracks, vehicle set-ups: catalogue logic (pv_profiles) and windows (pv_ui).

# Catalogue editors: the driver, track and vehicle set-up profile stores
# (pv_profiles, no widgets) and their windows (pv_ui).
add_library(pv_profiles STATIC
  ${CMAKE_CURRENT_LIST_DIR}/driverstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trackstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vehiclestore.cpp
  # Catalogue lists, ticks, search and soft delete of the choosers and list windows.
  ${CMAKE_CURRENT_LIST_DIR}/cataloguelist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cataloguechoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/catalogue.cpp
  # Track transfer files: writer, reader and the import's two passes.
  ${CMAKE_CURRENT_LIST_DIR}/trackfile.cpp
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

# Catalogue choosers and list windows (pv_ui).
target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/catalogueviews.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cataloguewindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistakierowcow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistatorow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistapojazdow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistakierMDI.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistatorowMDI.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ulistaPojazdowMDI.cpp
)

# Track transfer: the "Tracks" check list and the main window's export and
# import commands (pv_ui).
target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ulistatorowimport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tracktransfer.cpp
)
