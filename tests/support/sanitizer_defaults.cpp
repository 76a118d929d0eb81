// Settings of the memory-checking build (PITROVA_SANITIZE), compiled into
// every test process so that the tests, their listing at build time, the
// template maker and child processes all run with them.
//
// Leaks: the Firebird client library and the embedded engine keep objects
// for the whole process (the authentication's big-number constants,
// character set converters, engine caches) and free them never; they are
// not this program's to free, and the libraries carry no symbols to point
// at anything narrower than their names.  Allocations by this program's own
// code, including those of the Qt objects it makes, are still checked.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfbclient.so\n"
           "leak:libEngine12.so\n";
}

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

// Stack frames are checked for use after their function returned, and
// globals for use before they were made.
//
// intercept_tls_get_addr=0: the runtime's record of the thread-local blocks
// of libraries loaded at run time (the database engine's) is misread with
// this C library (GCC 12's sanitizer runtime, glibc 2.36): in some
// processes the leak check then scans a made-up range and crashes ("Tracer
// caught signal 11").  Without the record those blocks are not searched for
// pointers; nothing of this program's lives only there.
extern "C" const char* __asan_default_options()
{
    return "detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:"
           "intercept_tls_get_addr=0";
}

// A finding of the undefined-behaviour checks shows where it happened.
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1"; }
