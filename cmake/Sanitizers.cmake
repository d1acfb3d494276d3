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
  # A checked build is configured as Debug so that Qt's own checks (Q_ASSERT in
  # its inline code: container indexes, string positions) stay on. It is not
  # optimised (the fuzzed libraries are, see fuzz/), with line tables only:
  # its Qt-heavy files compile in about 40 % less time, and the reports still
  # name file and line.
  set(CMAKE_CXX_FLAGS_DEBUG "-O0 -gline-tables-only")
  # Each target's files compiled as one (a third less build time): file-local
  # names must then differ between the files of one library.
  set(CMAKE_UNITY_BUILD ON)
endif()

if(QUENDRIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUENDRIX_FUZZ needs clang (configure with CC=clang CXX=clang++)")
  endif()
endif()
