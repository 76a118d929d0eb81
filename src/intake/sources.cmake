# Data key link, key memory, download, upload, dump files, session import.
# pv_intake: the widget-free half; windows go to pv_intakeui below.
add_library(pv_intake STATIC
  ${CMAKE_CURRENT_LIST_DIR}/keylink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keymemory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keydownload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keyupload.cpp
)
target_include_directories(pv_intake PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pv_intake PUBLIC pv_common pv_platform)

# Windows of the intake.
add_library(pv_intakeui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/uodczytkrom.h
  ${CMAKE_CURRENT_LIST_DIR}/uodczytkrom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwgrajobrazek.h
  ${CMAKE_CURRENT_LIST_DIR}/uwgrajobrazek.cpp
)
target_link_libraries(pv_intakeui PUBLIC pv_intake pv_profilesui)

# Key dump files, sample records, the session list, the header store and
# the session import (they read and write the database).
target_sources(pv_intake PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dumpfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/samples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sessionlist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/headerstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sessionimport.cpp
)
target_link_libraries(pv_intake PUBLIC pv_data pv_profiles)

# Intake windows: the session check list, the session header form and the
# intake flow of the main window.
target_sources(pv_intakeui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ulistazodczytu.h
  ${CMAKE_CURRENT_LIST_DIR}/ulistazodczytu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unaglowekRejestracji.h
  ${CMAKE_CURRENT_LIST_DIR}/unaglowekRejestracji.cpp
  ${CMAKE_CURRENT_LIST_DIR}/intakeflow.h
  ${CMAKE_CURRENT_LIST_DIR}/intakeflow.cpp
)
