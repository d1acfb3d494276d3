# Sourced by scripts/sanitize.sh and scripts/fuzz.sh: how the sanitizers report.
# Every finding stops the process (halt_on_error, a non-zero exit) with a
# symbolized stack; leaks are checked at exit.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for s in /usr/bin/llvm-symbolizer-14 /usr/bin/llvm-symbolizer; do
  if [ -x "$s" ]; then
    export ASAN_SYMBOLIZER_PATH=$s
    break
  fi
done
