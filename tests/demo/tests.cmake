# The demo drop folder that quillrun-demo makes: its pages, destination and settings.
find_package(PkgConfig REQUIRED)
pkg_check_modules(DEMO_TEST_DEPS REQUIRED IMPORTED_TARGET lept poppler-cpp)

quillrun_add_test(demo_tests
    demo/demo_folder_test.cpp
    settings/settings_environment.cpp
)
target_link_libraries(demo_tests PRIVATE PkgConfig::DEMO_TEST_DEPS quillrun_settings)
target_compile_definitions(demo_tests PRIVATE
    QUILLRUN_DEMO_PATH="${CMAKE_BINARY_DIR}/bin/quillrun-demo" ORLAVEX_PATH="$<TARGET_FILE:orlavex>")
add_dependencies(demo_tests quillrun_demo)
