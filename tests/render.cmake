# Drawing: the canvas primitives and fonts, and every screen composed and read back.
# Each frame a test composes is also written as a PNG under frames/ for people to look at.
if(TARGET orbilux_render)
  set(ORBILUX_RENDER_FRAMES ${CMAKE_CURRENT_BINARY_DIR}/frames)
  file(MAKE_DIRECTORY ${ORBILUX_RENDER_FRAMES})

  add_library(orbilux_render_test_support STATIC render_test_support.cpp)
  # The quiz bank sits beside rules that call the host; the fake host in turn needs the
  # rules, so the two are searched together.
  target_link_libraries(orbilux_render_test_support PUBLIC orbilux_render
                        "$<LINK_GROUP:RESCAN,orbilux_game,orbilux_fake_host>" GTest::gtest)
  target_compile_definitions(orbilux_render_test_support PUBLIC ORBILUX_FRAMES_DIR="${ORBILUX_RENDER_FRAMES}")
  if(TARGET orbilux_assets)
    target_compile_definitions(orbilux_render_test_support PUBLIC ORBILUX_HAS_MASCOT=1)
  endif()

  add_executable(render_canvas_test render_canvas_test.cpp)
  target_link_libraries(render_canvas_test PRIVATE orbilux_render_test_support GTest::gtest_main)
  # Leak checks skip what fontconfig keeps from reading its configuration.
  set(ORBILUX_RENDER_TEST_ENV "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/render_lsan.supp")
  gtest_discover_tests(render_canvas_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS render
                       ENVIRONMENT "${ORBILUX_RENDER_TEST_ENV}")

  add_executable(render_screens_test render_screens_test.cpp render_play_test.cpp render_kept_test.cpp
                                     render_words_test.cpp)
  target_link_libraries(render_screens_test PRIVATE orbilux_render_test_support GTest::gtest_main)
  gtest_discover_tests(render_screens_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS render
                       ENVIRONMENT "${ORBILUX_RENDER_TEST_ENV}")

endif()
