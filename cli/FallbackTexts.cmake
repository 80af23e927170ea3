# tmpro carries the English source tables (resources/lang/0409/*.txt) inside itself, so that it
# names forms, fields and new wallet entries in English when no language file can be found.
file(GLOB TW_FALLBACK_TABLES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/lang/0409/*.txt)
list(SORT TW_FALLBACK_TABLES)
set(TW_FALLBACK_BYTES "")
foreach(table ${TW_FALLBACK_TABLES})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
    file(READ ${table} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # A line feed between tables, so that the last line of one never runs into the next.
    string(APPEND TW_FALLBACK_BYTES "${bytes}0x0a,\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/cli/FallbackTables.inc CONTENT "${TW_FALLBACK_BYTES}")
target_include_directories(tw_cli PRIVATE ${CMAKE_BINARY_DIR}/generated)
