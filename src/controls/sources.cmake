# The program's own controls (numeric edits, image button, database picture)
# and the drawn pictures they and the windows show (artwork).
target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MathCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fieldcheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButtonComps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EDBImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEDBR.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/look.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/icons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/faces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/pictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/backdrops.cpp
)
