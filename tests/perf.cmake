# Doing less without showing anything different: the loop's sleeping on still screens
# against a loop that ticks throughout, the frame key against the painters, frames skipped
# and kept against frames drawn plainly, and the tick and frame path allocating nothing.
add_executable(app_idle_pacing_tests app_idle_pacing_test.cpp)
target_link_libraries(app_idle_pacing_tests PRIVATE orbilux_game orbilux_fake_host GTest::gtest_main)
gtest_discover_tests(app_idle_pacing_tests DISCOVERY_TIMEOUT 60)
