# Doing less without showing anything different: the loop's sleeping on still screens
# against a loop that ticks throughout, the frame key against the painters, frames skipped
# and kept against frames drawn plainly, and the tick and frame path allocating nothing.
add_executable(app_idle_pacing_tests app_idle_pacing_test.cpp)
target_link_libraries(app_idle_pacing_tests PRIVATE orbilux_game orbilux_fake_host GTest::gtest_main)
gtest_discover_tests(app_idle_pacing_tests DISCOVERY_TIMEOUT 60)

if(TARGET orbilux_render_test_support)
  add_executable(render_frame_key_tests render_frame_key_test.cpp)
  target_link_libraries(render_frame_key_tests PRIVATE orbilux_render_test_support GTest::gtest_main)
  gtest_discover_tests(render_frame_key_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS render
                       ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/render_lsan.supp")
endif()
