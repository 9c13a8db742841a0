# The dialogs' behaviour without a toolkit, against a recording view (on Linux, where it has a
# registry store of files to own), and what both front ends take from the core.
if(WIN32)
    quillrun_add_test(app_tests
        app/work_cycle_test.cpp
        app/page_stats_list_test.cpp
        app/elapsed_time_test.cpp
        app/help_path_win32_test.cpp
    )
else()
    quillrun_add_test(app_tests
        app/work_cycle_test.cpp
        app/main_dialog_test.cpp
        app/page_stats_list_test.cpp
        app/elapsed_time_test.cpp
        app/help_path_posix_test.cpp
        settings/settings_environment.cpp
    )
endif()
target_link_libraries(app_tests PRIVATE quillrun_app)
