# Shared helpers (unit stale) and the small shared dialogs.
add_library(pv_common STATIC
  ${CMAKE_CURRENT_LIST_DIR}/stale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cp1250.cpp
)
target_include_directories(pv_common PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
target_link_libraries(pv_common PUBLIC pv_platform)

# pv_commonui: the picture preview and the text input dialog.
add_library(pv_commonui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/uwyborbonkod.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upokazobrazek.cpp
)
target_link_libraries(pv_commonui PUBLIC pv_common pv_platformui)
