# Shared helpers (unit stale) and the small shared dialogs.
add_library(pv_common STATIC
  ${CMAKE_CURRENT_LIST_DIR}/stale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cp1250.cpp
)
target_include_directories(pv_common PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
target_link_libraries(pv_common PUBLIC pv_platform)

target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/uwyborbonkod.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upokazobrazek.cpp
)
target_link_libraries(pv_ui PUBLIC pv_common)
