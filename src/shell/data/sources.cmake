# Data module, database connection, base schema, schema upgrade.
add_library(pv_data STATIC ${PV_EMPTY_SOURCE}
)
target_include_directories(pv_data PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
target_link_libraries(pv_data PUBLIC pv_common Qt6::Sql Firebird::fbclient)
target_link_libraries(pv_ui PUBLIC pv_data)
