# The scene backdrop, read back pixel by pixel and held to its plain drawing; frames
# are written beside the other drawing tests' frames.
if(TARGET orbilux_render_test_support)
  add_executable(render_backdrop_test render_backdrop_test.cpp)
  target_link_libraries(render_backdrop_test PRIVATE orbilux_render_test_support GTest::gtest_main)
  gtest_discover_tests(render_backdrop_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS render
                       ENVIRONMENT "${ORBILUX_RENDER_TEST_ENV}")
endif()
