# Data module, queries, base schema, schema upgrade (real Firebird files).
pitrova_add_test(test_shell_data_ubazy SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ubazy.cpp LIBS pv_data pitrova_testsupport)
pitrova_add_test(test_shell_data_schemaupgrade SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_schemaupgrade.cpp LIBS pv_data pitrova_testsupport)
pitrova_add_test(test_shell_data_fbbulk SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_fbbulk.cpp LIBS pv_data pitrova_testsupport)
