# Checked builds, each in a build directory of its own:
#   QUENDRIX_SANITIZE=ON  every target with AddressSanitizer and
#                         UndefinedBehaviorSanitizer (the test suite's second run)
#   QUENDRIX_FUZZ=ON      the libFuzzer targets of fuzz/ as well; clang only
#   QUENDRIX_BENCH=OFF    leaves the benchmarks out
option(QUENDRIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QUENDRIX_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
option(QUENDRIX_BENCH "Build the benchmarks in bench/" ON)

if(QUENDRIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(QUENDRIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUENDRIX_FUZZ needs clang (configure with CC=clang CXX=clang++)")
  endif()
  # Coverage feedback from every library the targets call into.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
