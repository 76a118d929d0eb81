# Drivers, tracks, vehicle set-ups: catalogue logic (pv_profiles) and windows (pv_profilesui).

# Catalogue editors: the driver, track and vehicle set-up profile stores
# (pv_profiles, no widgets) and their windows (pv_profilesui).
add_library(pv_profiles STATIC
  ${CMAKE_CURRENT_LIST_DIR}/driverstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trackstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vehiclestore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setupcolumns.h
  # Catalogue lists, ticks, search and soft delete of the choosers and list windows.
  ${CMAKE_CURRENT_LIST_DIR}/cataloguelist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cataloguechoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/catalogue.cpp
  # Track transfer files: writer, reader and the import's two passes.
  ${CMAKE_CURRENT_LIST_DIR}/trackfile.cpp
)
target_include_directories(pv_profiles PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pv_profiles PUBLIC pv_data)

add_library(pv_profilesui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ukierowca.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unowycarSet.cpp
)
target_link_libraries(pv_profilesui PUBLIC pv_profiles pv_shell pv_controls pv_commonui)
# End of the catalogue editors.

# Catalogue choosers and list windows (pv_profilesui).
target_sources(pv_profilesui PRIVATE
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
# import commands (pv_profilesui).
target_sources(pv_profilesui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ulistatorowimport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tracktransfer.cpp
)
