# Robustness: a misbehaving clock, the event driver's long runs (memory check and soak) and
# the real program in hostile surroundings. The best-score file under attack is tested with
# the rest of the store (app.cmake).
add_executable(robust_clock_tests robust_clock_test.cpp)
target_link_libraries(robust_clock_tests PRIVATE orbilux_game orbilux_fake_host GTest::gtest_main)
gtest_discover_tests(robust_clock_tests DISCOVERY_TIMEOUT 60)

# The event driver of the fuzzers, built with the ordinary compiler for long runs: the soak
# (an hour of play, memory flat) and the headless session that Valgrind checks.
add_library(orbilux_event_driver_plain STATIC ${PROJECT_SOURCE_DIR}/fuzz/event_driver.cpp game_invariants.cpp)
target_include_directories(orbilux_event_driver_plain PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(orbilux_event_driver_plain PUBLIC orbilux_game)

if(TARGET orbilux_render)
  add_executable(robust_soak ${PROJECT_SOURCE_DIR}/fuzz/soak.cpp)
  target_link_libraries(robust_soak PRIVATE orbilux_render
                        "$<LINK_GROUP:RESCAN,orbilux_event_driver_plain,orbilux_headless_host,orbilux_game>")
  # A short soak in every test run; scripts/soak.sh runs the hour.
  add_test(NAME robust.soak_short COMMAND robust_soak --ticks 40000 --warm-up 20000 --compose-every 8)
  # Under the leak checker, fontconfig's own configuration bytes are left aside.
  set(ORBILUX_ROBUST_LSAN "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/fuzz/lsan.supp")
  set_tests_properties(robust.soak_short PROPERTIES LABELS robust TIMEOUT 300 ENVIRONMENT "${ORBILUX_ROBUST_LSAN}")
endif()

if(TARGET orbilux_render AND TARGET orbilux_assets)
  add_executable(robust_render_tests robust_render_test.cpp)
  target_link_libraries(robust_render_tests PRIVATE orbilux_render orbilux_assets
                        "$<LINK_GROUP:RESCAN,orbilux_game,orbilux_fake_host>" GTest::gtest_main)
  gtest_discover_tests(robust_render_tests DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/fuzz/lsan.supp")
endif()

# The real program in hostile surroundings, each scenario in an X server of its own.
if(TARGET orbilux-rush)
  find_program(ORBILUX_HOSTILE_XVFB Xvfb)
  find_program(ORBILUX_HOSTILE_XDOTOOL xdotool)
  find_program(ORBILUX_HOSTILE_IMPORT import)
  find_program(ORBILUX_HOSTILE_PYTHON python3)
  if(ORBILUX_HOSTILE_XVFB AND ORBILUX_HOSTILE_XDOTOOL AND ORBILUX_HOSTILE_IMPORT AND ORBILUX_HOSTILE_PYTHON)
    foreach(scenario no_display no_audio fonts minimise window_sizes data_folder)
      add_test(NAME hostile.${scenario}
               COMMAND ${ORBILUX_HOSTILE_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/hostile/hostile.py
                       $<TARGET_FILE:orbilux-rush> ${scenario})
      set_tests_properties(hostile.${scenario} PROPERTIES LABELS e2e TIMEOUT 240 RESOURCE_LOCK orbilux_e2e_display)
    endforeach()
  else()
    message(WARNING "Xvfb, xdotool, ImageMagick or python3 missing: the hostile-surroundings tests are not registered")
  endif()
endif()
