# Replays the fuzz target's seed corpus and every input that ever broke one of
# its invariants, built with the project's compiler (no libFuzzer needed).
ferrolink_add_test(tst_fuzzregressions
    SOURCES fuzz/tst_fuzzregressions.cpp fuzz/requestfuzzer.cpp)
target_compile_definitions(tst_fuzzregressions PRIVATE
    FERROLINK_FUZZ_INPUTS="${CMAKE_CURRENT_SOURCE_DIR}/fuzz")
