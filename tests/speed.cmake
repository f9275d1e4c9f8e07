# Doing less without showing anything different: the loop's sleeping on still screens
# against a loop that ticks throughout, the frame key against the painters, frames composed
# where they changed against frames composed whole, and the tick and frame path allocating nothing.
if(TARGET orbilux_app)
  add_executable(app_idle_pacing_tests app_idle_pacing_test.cpp)
  # The fake host first: the loop needs none of the real shell's host functions.
  target_link_libraries(app_idle_pacing_tests PRIVATE orbilux_fake_host orbilux_app orbilux_game GTest::gtest_main)
  gtest_discover_tests(app_idle_pacing_tests DISCOVERY_TIMEOUT 60)
endif()

if(TARGET orbilux_render_test_support)
  add_executable(render_frame_key_tests render_frame_key_test.cpp)
  target_link_libraries(render_frame_key_tests PRIVATE orbilux_render_test_support GTest::gtest_main)
  # Frames of seeded play at each scale composed where they changed and compared whole; far
  # fewer under a sanitizer, where a frame costs ten times as much. ORBILUX_FRAMES_PER_SCALE
  # asks for a long run (100000 plays every kind of screen at every scale).
  if(CMAKE_CXX_FLAGS MATCHES "sanitize")
    target_compile_definitions(render_frame_key_tests PRIVATE ORBILUX_CHANGED_REGION_FRAMES=1500)
  else()
    target_compile_definitions(render_frame_key_tests PRIVATE ORBILUX_CHANGED_REGION_FRAMES=6000)
  endif()
  gtest_discover_tests(render_frame_key_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS render
                       ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/render_lsan.supp")
endif()

# Counting every malloc needs the allocator to ourselves: not under a sanitizer.
# The real sound and shell are linked, with no device open, as the game runs without one.
if(TARGET orbilux_render AND TARGET orbilux_app AND TARGET orbilux_audio AND NOT CMAKE_CXX_FLAGS MATCHES "sanitize"
   AND NOT ORBILUX_FUZZ)
  add_executable(speed_alloc_tests speed_alloc_test.cpp)
  target_link_libraries(speed_alloc_tests PRIVATE orbilux_render
                        "$<LINK_GROUP:RESCAN,orbilux_app,orbilux_audio,orbilux_game>" GTest::gtest_main)
  gtest_discover_tests(speed_alloc_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy"
                       ENVIRONMENT_MODIFICATION "${ORBILUX_TEST_CONFIG_DIR}")
endif()
