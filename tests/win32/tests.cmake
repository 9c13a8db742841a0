# The suites of the Windows build, each a program that scripts/test-windows runs under Wine. The
# list names them in the order they run.
get_property(suites GLOBAL PROPERTY QUILLRUN_WINDOWS_SUITES)
list(TRANSFORM suites APPEND ".exe")
list(JOIN suites "\n" suiteLines)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/bin/windows-suites.txt CONTENT "${suiteLines}\n")
