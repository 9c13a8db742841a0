# The main dialog, under the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_executable(ui_tests
    ui/ui_test_main.cpp
    ui/dialog_test_fixture.cpp
    ui/main_dialog_test.cpp
    ui/dialog_layout_test.cpp
    ui/work_run_test.cpp
)
set_target_properties(ui_tests PROPERTIES AUTOMOC ON)
target_include_directories(ui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ui_tests PRIVATE quillrun_ui quillrun_test_support GTest::gtest Qt6::Test)
target_compile_definitions(ui_tests PRIVATE
    UI_TEST_READER_PATH="$<TARGET_FILE:scripted_reader>")
add_dependencies(ui_tests scripted_reader)
gtest_discover_tests(ui_tests DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
