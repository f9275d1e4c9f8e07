# Robustness: a misbehaving clock, the best-score file under attack, the event driver's
# long runs (memory check and soak) and the real program in hostile surroundings.
add_executable(robust_clock_tests robust_clock_test.cpp)
target_link_libraries(robust_clock_tests PRIVATE orbilux_game orbilux_fake_host GTest::gtest_main)
gtest_discover_tests(robust_clock_tests DISCOVERY_TIMEOUT 60)

if(TARGET orbilux_app)
  # Saves ever higher scores until killed; the crash test strikes it a thousand times.
  add_executable(robust_store_writer robust_store_writer.cpp)
  target_link_libraries(robust_store_writer PRIVATE orbilux_app)

  add_executable(robust_store_tests robust_store_test.cpp)
  target_link_libraries(robust_store_tests PRIVATE orbilux_app GTest::gtest_main)
  target_compile_definitions(robust_store_tests PRIVATE ROBUST_STORE_WRITER="$<TARGET_FILE:robust_store_writer>")
  add_dependencies(robust_store_tests robust_store_writer)
  gtest_discover_tests(robust_store_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endif()
