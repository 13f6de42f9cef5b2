# The libFuzzer targets (clang only), one per check of tests/host/Robustness.h and ParserChecks.h,
# over the portable core and the simulated platform. The whole build carries coverage and the
# sanitizers; scripts/fuzz drives it.
add_library(quorvel_checks STATIC tests/host/Robustness.cpp tests/host/ParserChecks.cpp)
target_compile_definitions(quorvel_checks
  PRIVATE QUORVEL_FIXTURES_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
target_link_libraries(quorvel_checks PUBLIC quorvel_core quorvel_sim)

set(QUORVEL_FUZZ_TARGETS
  registry:CheckRandomTree restore:CheckRestore edid:CheckEdid modes:CheckModeTables
  command_line:CheckCommandLine)
foreach(entry ${QUORVEL_FUZZ_TARGETS})
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 check)
  add_executable(${name}_fuzz tests/fuzz/fuzz_target.cpp)
  target_include_directories(${name}_fuzz PRIVATE tests)
  target_compile_definitions(${name}_fuzz PRIVATE QUORVEL_FUZZ_CHECK=${check})
  target_link_libraries(${name}_fuzz PRIVATE quorvel_checks)
  target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
endforeach()
