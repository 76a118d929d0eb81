# Shell: project record and file, configuration file (pv_shell);
# main window, splash, project chooser, chart settings (pv_ui).
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

target_sources(pv_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/umain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usplashscreen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwyborprojektu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uustawieniawykresu.cpp
)
target_link_libraries(pv_ui PUBLIC pv_shell)
