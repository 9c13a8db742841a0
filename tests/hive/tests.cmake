# The hive: the registry's text format everywhere, and on Linux the store of files kept in it.
if(WIN32)
    quillrun_add_test(hive_tests hive/registry_file_format_test.cpp)
    target_link_libraries(hive_tests PRIVATE quillrun_hive)
    return()
endif()
quillrun_add_test(hive_tests
    settings/settings_environment.cpp
    hive/registry_file_format_test.cpp
    hive/hive_file_store_test.cpp
)
target_link_libraries(hive_tests PRIVATE quillrun_hive)

# A second instance of the program as far as the hive is concerned: it writes values
# concurrently with another one.
add_executable(registry_writer ${CMAKE_CURRENT_LIST_DIR}/registry_writer.cpp)
target_link_libraries(registry_writer PRIVATE quillrun_hive quillrun_options)
target_compile_definitions(hive_tests PRIVATE
    REGISTRY_WRITER_PATH="$<TARGET_FILE:registry_writer>")
add_dependencies(hive_tests registry_writer)
