# The registry: on Windows the system's own; elsewhere a store over files in the text format of a
# hive, which is portable and built everywhere.
target_sources(quillrun_platform PRIVATE
    platform/registry_file_format.cpp
    platform/registry_default_value.cpp
)
if(WIN32)
    target_sources(quillrun_platform PRIVATE platform/registry_win32.cpp)
else()
    target_sources(quillrun_platform PRIVATE platform/registry_posix.cpp)
endif()
