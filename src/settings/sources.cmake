# The settings: password scrambling, the settings store and the reading program's location.
target_sources(quillrun_core PRIVATE
    settings/password_scrambling.cpp
    settings/registry_text.cpp
    settings/reader_location.cpp
    settings/settings_store.cpp
)
