# The program's own controls (numeric edits, image button, database picture).
add_library(pv_controls STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MathCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fieldcheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButtonComps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EDBImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEDBR.cpp
)
target_link_libraries(pv_controls PUBLIC pv_common pv_platformui)
