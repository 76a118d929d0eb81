# Tests of tests/shell: pitrova_add_test(<name> SOURCES ${CMAKE_CURRENT_LIST_DIR}/<file>.cpp [GUI])
pitrova_add_test(test_shell_projectrecord SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_projectrecord.cpp LIBS pv_shell)
pitrova_add_test(test_shell_config SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_config.cpp LIBS pv_shell)
pitrova_add_test(test_shell_artwork SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_artwork.cpp GUI)
