# Data module, database connection, base schema, schema upgrade.
add_library(pv_data STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dbcommon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ibquery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fbbulk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ubazy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dbcreate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/schemaupgrade.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cataloguenames.cpp
)
target_include_directories(pv_data PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
target_link_libraries(pv_data PUBLIC pv_common Qt6::Sql Firebird::fbclient)

# The base schema script is compiled in, so the creator needs no file beside it.
file(READ ${CMAKE_CURRENT_LIST_DIR}/schema.sql PV_SCHEMA_SQL)
configure_file(${CMAKE_CURRENT_LIST_DIR}/schema_sql.h.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/shell/data/schema_sql.h @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/schema.sql)
target_include_directories(pv_data PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)


