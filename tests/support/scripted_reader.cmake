# A reading program whose behaviour the tests script through its arguments. The benchmarks run it
# too, and are built without the tests, so both include this file; the first one defines it.
if(NOT TARGET scripted_reader)
    set(_scripted_reader_folder ${CMAKE_CURRENT_LIST_DIR})
    add_executable(scripted_reader ${_scripted_reader_folder}/scripted_reader.cpp)
    target_include_directories(scripted_reader PRIVATE ${_scripted_reader_folder}/..)
    target_link_libraries(scripted_reader PRIVATE quillrun_options)
    if(WIN32)
        target_sources(scripted_reader PRIVATE ${_scripted_reader_folder}/scripted_reader_win32.cpp)
        target_link_libraries(scripted_reader PRIVATE quillrun_platform)
    else()
        target_sources(scripted_reader PRIVATE ${_scripted_reader_folder}/scripted_reader_posix.cpp)
    endif()
endif()
