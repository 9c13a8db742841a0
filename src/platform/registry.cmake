# The registry: the text format of a hive is portable; the store over files is POSIX.
target_sources(quillrun_platform PRIVATE
    platform/registry_file_format.cpp
)
if(UNIX)
    target_sources(quillrun_platform PRIVATE
        platform/registry_posix.cpp
    )
endif()
