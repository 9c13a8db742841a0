# The resources as data: the dialog templates and the string table, without a toolkit.
quillrun_add_test(resources_tests
    resources/dialog_template_test.cpp
    resources/string_table_test.cpp
)
target_link_libraries(resources_tests PRIVATE quillrun_resources)
