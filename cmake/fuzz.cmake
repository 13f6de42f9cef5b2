# The registry fuzzer (clang's libFuzzer), over the portable core and the simulated registry. The
# whole build carries coverage and the sanitizers; scripts/fuzz drives it.
add_executable(registry_fuzz tests/fuzz/registry_fuzz.cpp tests/host/Robustness.cpp)
target_include_directories(registry_fuzz PRIVATE tests)
target_link_libraries(registry_fuzz PRIVATE quorvel_core quorvel_sim)
target_link_options(registry_fuzz PRIVATE -fsanitize=fuzzer)
