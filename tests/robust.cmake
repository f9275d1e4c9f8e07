# Robustness: a misbehaving clock, the best-score file under attack, the event driver's
# long runs (memory check and soak) and the real program in hostile surroundings.
add_executable(robust_clock_tests robust_clock_test.cpp)
target_link_libraries(robust_clock_tests PRIVATE orbilux_game orbilux_fake_host GTest::gtest_main)
gtest_discover_tests(robust_clock_tests DISCOVERY_TIMEOUT 60)
