# The Windows installer, made with NSIS: build-windows/Quillrun-<version>-setup.exe, from the
# programs and the guide placed beside them in bin/. Included at the end of the top-level
# CMakeLists.txt, once the program's target exists.
if(NOT TARGET quillrun)
    return()
endif()

find_program(QUILLRUN_MAKENSIS makensis REQUIRED)
set(setup ${CMAKE_BINARY_DIR}/Quillrun-${PROJECT_VERSION}-setup.exe)
add_custom_command(
    OUTPUT ${setup}
    COMMAND ${QUILLRUN_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
            -DBIN=${CMAKE_BINARY_DIR}/bin -DOUTFILE=${setup}
            ${CMAKE_CURRENT_LIST_DIR}/quillrun.nsi
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/quillrun.nsi quillrun quillrun-service quillrun_help
    COMMENT "Making the installer Quillrun-${PROJECT_VERSION}-setup.exe"
    VERBATIM)
add_custom_target(quillrun_installer ALL DEPENDS ${setup})
