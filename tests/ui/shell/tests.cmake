# The statistics window, About box, help window and icon. The dialogs run on Qt's offscreen
# platform, so no display is needed.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_executable(ui_shell_tests
    ui/shell/shell_test_main.cpp
    ui/shell/page_stats_dlg_test.cpp
    ui/shell/about_dlg_test.cpp
    ui/shell/help_viewer_test.cpp
)
target_link_libraries(ui_shell_tests PRIVATE quillrun_ui_shell quillrun_test_support Qt6::Test
                                             GTest::gtest)
gtest_discover_tests(ui_shell_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
