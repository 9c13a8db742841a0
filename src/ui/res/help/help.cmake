# The user guide lies beside the executable, as the program looks for it there; both front ends
# place it so. Defines QUILLRUN_HELP_FILES, the target quillrun_help that copies the guide into
# bin/, and quillrun_help_files, an interface library that hands that target on to whatever links
# it, so a program built alone still finds its guide.
if(TARGET quillrun_help)
    return()
endif()
set(QUILLRUN_HELP_SOURCE ${CMAKE_CURRENT_LIST_DIR})
set(QUILLRUN_HELP_FILES
    Quillrun.html
    Quillrun-images/quillrun-48.png
    Quillrun-images/quillrun-48@2x.png
    Quillrun-images/statistics-window.png
    Quillrun-images/statistics-window@2x.png
    Quillrun-images/about-box.png
    Quillrun-images/about-box@2x.png
    Quillrun-images/main-window.png
    CACHE INTERNAL "The user guide and its pictures, relative to src/ui/res/help")
set(helpOutputs)
foreach(helpFile IN LISTS QUILLRUN_HELP_FILES)
    list(APPEND helpOutputs ${CMAKE_BINARY_DIR}/bin/${helpFile})
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/bin/${helpFile}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLRUN_HELP_SOURCE}/${helpFile}
                ${CMAKE_BINARY_DIR}/bin/${helpFile}
        DEPENDS ${QUILLRUN_HELP_SOURCE}/${helpFile}
        COMMENT "Placing ${helpFile} beside the executables"
        VERBATIM)
endforeach()
add_custom_target(quillrun_help ALL DEPENDS ${helpOutputs})
add_library(quillrun_help_files INTERFACE)
add_dependencies(quillrun_help_files quillrun_help)
