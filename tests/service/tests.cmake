# The service: its command line and CSV (unit tests), and the built program run as users run it:
# several instances on one tree, a stop in the middle of a job, an instance killed. On Windows,
# the settings imported for its account, and the program run by the Service Control Manager and
# from a console.
if(NOT TARGET quillrun-service)
    return()
endif()
if(WIN32)
    quillrun_add_test(service_win32_tests
        service/settings_import_win32_test.cpp
        service/service_win32_test.cpp
        settings/scratch_registry_win32.cpp
    )
    target_link_libraries(service_win32_tests PRIVATE quillrun_service_core quillrun_settings
        quillrun_hive quillrun_registration)
    add_dependencies(service_win32_tests quillrun-service)
    return()
endif()
quillrun_add_test(service_tests
    service/service_options_test.cpp
    service/page_statistics_csv_test.cpp
    service/service_run_test.cpp
    service/service_process.cpp
    settings/settings_environment.cpp
)
target_link_libraries(service_tests PRIVATE quillrun_service_core quillrun_settings)
target_compile_definitions(service_tests PRIVATE
    QUILLRUN_SERVICE_PATH="$<TARGET_FILE:quillrun-service>")
add_dependencies(service_tests quillrun-service)
if(QUILLRUN_SERVICE_METRICS)
    target_sources(service_tests PRIVATE service/service_metrics_test.cpp)
    target_link_libraries(service_tests PRIVATE quillrun_service_metrics)
endif()

# Both systemd units pass systemd-analyze verify; skipped where it is not installed.
foreach(scope system user)
    add_test(NAME service_unit_verified_${scope}
             COMMAND ${CMAKE_COMMAND}
                     -DUNIT=${CMAKE_BINARY_DIR}/src/service/built-units/quillrun-${scope}.service
                     -DUSER_UNIT=$<STREQUAL:${scope},user>
                     -P ${CMAKE_CURRENT_LIST_DIR}/verify_unit.cmake)
    set_tests_properties(service_unit_verified_${scope}
                         PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED:")
endforeach()
