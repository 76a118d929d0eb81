# Shell.  This folder holds libraries at both ends of the layers: the core
# pv_shell (project record and file, configuration file, version, start-up;
# no widgets) lies just above the data module, while the windows pv_shellui
# (main window, splash, project chooser, chart settings) lie above every
# other area, whose windows the main window opens.
add_library(pv_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/projectrecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config.cpp
  ${CMAKE_CURRENT_LIST_DIR}/version.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
)
target_include_directories(pv_shell PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pv_shell PUBLIC pv_data)
target_compile_definitions(pv_shell PUBLIC
  PITROVA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  PITROVA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  PITROVA_VERSION_PATCH=${PROJECT_VERSION_PATCH})

add_library(pv_shellui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/umain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usplashscreen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwyborprojektu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uustawieniawykresu.cpp
)
target_link_libraries(pv_shellui PUBLIC pv_shell pv_controls pv_profilesui pv_intakeui pv_analysis)
