// Options that every binary of the sanitized build starts with. A report ends
// the run at once with a status that no program or test gives on its own, so a
// test that expects 0 or 1 cannot pass over it; the environment's
// ASAN_OPTIONS and UBSAN_OPTIONS still override them. An allocation too large
// to be had gives null, as it does in the ordinary build, so that the programs'
// own answer to it runs under the sanitizers too, rather than their report.

extern "C" const char *__asan_default_options() {
    return "allocator_may_return_null=1:detect_leaks=1:exitcode=86:strict_string_checks=1:"
           "detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1";
}

extern "C" const char *__ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1:exitcode=86";
}
