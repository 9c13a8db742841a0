# orlavex, the stand-in reading program, run end to end on pages the tests generate.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ORLAVEX_TEST_DEPS REQUIRED IMPORTED_TARGET lept poppler-cpp)

quillrun_add_test(orlavex_tests
    orlavex/test_pages.cpp
    orlavex/orlavex_runner.cpp
    orlavex/text_comparison.cpp
    orlavex/orlavex_recognition_test.cpp
    orlavex/orlavex_failure_test.cpp
    orlavex/orlavex_page_image_test.cpp
    orlavex/orlavex_quillrun_test.cpp
    orlavex/page_statistics_test.cpp
)
target_link_libraries(orlavex_tests PRIVATE PkgConfig::ORLAVEX_TEST_DEPS orlavex_core)
if(QUILLRUN_SANITIZE)
    # The tests render PDF pages too, with the same lasting Fontconfig state as the program.
    target_sources(orlavex_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/orlavex/leak_suppressions.cpp)
endif()
target_compile_definitions(orlavex_tests PRIVATE ORLAVEX_PATH="$<TARGET_FILE:orlavex>")
add_dependencies(orlavex_tests orlavex)
