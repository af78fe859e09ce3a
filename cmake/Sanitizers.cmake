# Two checking builds beside the normal one, each in a folder of its own:
#   TESSARO_SANITIZE=ON  the whole tree under AddressSanitizer, UndefinedBehavior-
#                        Sanitizer and LeakSanitizer (scripts/sanitize.sh, build-asan/)
#   TESSARO_FUZZ=ON      the same checks plus libFuzzer coverage, and the fuzz
#                        targets of fuzz/ (scripts/fuzz.sh, build-fuzz/; clang only)
# Any undefined behaviour stops the program, so a finding fails the run.
option(TESSARO_SANITIZE "Build everything with ASan, UBSan and LSan" OFF)
option(TESSARO_FUZZ "Build the libFuzzer targets of fuzz/ (clang)" OFF)

if(TESSARO_SANITIZE OR TESSARO_FUZZ)
    set(tessaro_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_compile_options(${tessaro_sanitizers})
    add_link_options(-fsanitize=address,undefined)
endif()
if(TESSARO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TESSARO_FUZZ needs clang (libFuzzer): configure with CXX=clang++-14")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
