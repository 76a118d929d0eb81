# The program's own controls (numeric edits, image button, database picture).
target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MathCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fieldcheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButtonComps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EDBImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEDBR.cpp
)
