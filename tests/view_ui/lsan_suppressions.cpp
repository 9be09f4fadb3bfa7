// The font library keeps a cache it never frees; that is not ours to report.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
