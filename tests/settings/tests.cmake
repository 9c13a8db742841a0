# The settings: the registry's file store and format, password scrambling, the settings store and
# the reading program's location.
quillrun_add_test(settings_tests
    settings/settings_environment.cpp
    settings/registry_file_format_test.cpp
    settings/registry_store_test.cpp
    settings/password_scrambling_test.cpp
    settings/settings_store_test.cpp
    settings/reader_location_test.cpp
    settings/settings_check_test.cpp
)

# A second instance of the program as far as the registry is concerned: it writes values
# concurrently with another one.
add_executable(registry_writer ${CMAKE_CURRENT_LIST_DIR}/registry_writer.cpp)
target_link_libraries(registry_writer PRIVATE quillrun_platform quillrun_options)
target_compile_definitions(settings_tests PRIVATE
    REGISTRY_WRITER_PATH="$<TARGET_FILE:registry_writer>")
add_dependencies(settings_tests registry_writer)
