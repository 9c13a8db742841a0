// Built into sanitizer builds only. Fontconfig, which Poppler asks for the faces of fonts that a
// PDF does not embed, keeps its configuration for the life of the process on purpose; the leak
// checker would otherwise fail every run that rendered such a PDF.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
