# The dialogs' behaviour without a toolkit, against a recording view.
quillrun_add_test(app_tests
    app/main_dialog_test.cpp
    app/page_stats_list_test.cpp
    settings/settings_environment.cpp
)
target_link_libraries(app_tests PRIVATE quillrun_app)
