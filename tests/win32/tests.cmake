# The suites of the Windows build only: the native dialogs driven by the dialog core, the program
# itself run as a user runs it, and the setup installed and uninstalled silently. Then the list of every Windows suite, in the order
# scripts/test-windows runs them.
if(TARGET quillrun_ui_win32)
    quillrun_add_test(ui_win32_tests
        ui_win32/window_test_support.cpp
        ui_win32/dialog_template_win32_test.cpp
        ui_win32/quillrun_dlg_win32_test.cpp
        settings/scratch_registry_win32.cpp
    )
    # The program's own resources, so the tests see its icon and common controls.
    target_link_libraries(ui_win32_tests PRIVATE quillrun_ui_win32 quillrun_win32_resources
        quillrun_settings)
endif()

if(TARGET quillrun)
    quillrun_add_test(program_tests win32/program_test.cpp)
    target_link_libraries(program_tests PRIVATE quillrun_registration quillrun_resources)
    add_dependencies(program_tests quillrun)
endif()

if(TARGET quillrun_installer)
    quillrun_add_test(installer_tests win32/installer_test.cpp)
    target_compile_definitions(installer_tests PRIVATE
        QUILLRUN_SETUP_FILE="Quillrun-${PROJECT_VERSION}-setup.exe")
    target_link_libraries(installer_tests PRIVATE quillrun_registration)
    add_dependencies(installer_tests quillrun_installer)
endif()

get_property(suites GLOBAL PROPERTY QUILLRUN_WINDOWS_SUITES)
list(TRANSFORM suites APPEND ".exe")
list(JOIN suites "\n" suiteLines)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/bin/windows-suites.txt CONTENT "${suiteLines}\n")
