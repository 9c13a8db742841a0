# The settings: password scrambling, the settings store and the reading program's location. On
# Windows the store is the system's registry itself, each test in a scratch registry of its own.
if(WIN32)
    quillrun_add_test(settings_tests
        settings/password_scrambling_test.cpp
        settings/settings_check_test.cpp
        settings/scratch_registry_win32.cpp
        settings/registry_win32_test.cpp
    )
    target_link_libraries(settings_tests PRIVATE quillrun_settings)
    return()
endif()
quillrun_add_test(settings_tests
    settings/settings_environment.cpp
    settings/password_scrambling_test.cpp
    settings/settings_store_test.cpp
    settings/reader_location_test.cpp
    settings/settings_check_test.cpp
)
