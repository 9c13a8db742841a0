# The settings: password scrambling, the settings store and the reading program's location.
target_sources(quillrun_core PRIVATE
)
