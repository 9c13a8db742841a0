# The check of the main dialog's settings before the work starts; it needs no display.
target_sources(quillrun_core PRIVATE engine/settings_check.cpp)
