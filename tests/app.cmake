# The shell: the best-score file, key and event routing, the host functions together with
# the rules, and the real program in a real window (label e2e).
if(TARGET orbilux_app)
  # Saves ever higher scores until killed; the crash test strikes it a thousand times.
  add_executable(robust_store_writer robust_store_writer.cpp)
  target_link_libraries(robust_store_writer PRIVATE orbilux_app)

  add_executable(app_store_tests app_store_test.cpp)
  target_link_libraries(app_store_tests PRIVATE orbilux_app GTest::gtest_main)
  target_compile_definitions(app_store_tests PRIVATE ROBUST_STORE_WRITER="$<TARGET_FILE:robust_store_writer>")
  add_dependencies(app_store_tests robust_store_writer)
  # The crash test's time grows with the machine's load: each kill waits for a new process to
  # start and save once. Under 50 ms a kill with both cores and the disk kept busy; the bound
  # allows nearly a second a kill, so only a writer that hangs reaches it.
  gtest_discover_tests(app_store_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 900)
endif()

if(TARGET orbilux_app AND TARGET orbilux_audio)
  add_executable(app_shell_tests app_events_test.cpp app_host_test.cpp app_pacing_test.cpp app_touch_test.cpp
                                app_options_test.cpp)
  # The rules call the sound and the shell, which call the rules: one group, scanned until settled.
  target_link_libraries(app_shell_tests PRIVATE "$<LINK_GROUP:RESCAN,orbilux_app,orbilux_audio,orbilux_game>"
                        GTest::gtest_main)
  gtest_discover_tests(app_shell_tests DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy" ENVIRONMENT_MODIFICATION "${ORBILUX_TEST_CONFIG_DIR}")
endif()

if(TARGET orbilux_app_window AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app_present_test.cpp)
  add_executable(app_present_tests app_present_test.cpp)
  target_link_libraries(app_present_tests PRIVATE orbilux_app_window
                        "$<LINK_GROUP:RESCAN,orbilux_app,orbilux_audio,orbilux_game>" GTest::gtest_main)
  # Leak checks skip what fontconfig keeps from reading its configuration.
  gtest_discover_tests(app_present_tests DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/render_lsan.supp")
endif()

if(TARGET orbilux-rush)
  find_program(ORBILUX_XVFB Xvfb)
  find_program(ORBILUX_XDOTOOL xdotool)
  find_program(ORBILUX_IMPORT import)
  find_program(ORBILUX_PYTHON python3)
  if(ORBILUX_XVFB AND ORBILUX_XDOTOOL AND ORBILUX_IMPORT AND ORBILUX_PYTHON)
    file(GLOB ORBILUX_E2E_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/test_*.py)
    foreach(scenario ${ORBILUX_E2E_SCENARIOS})
      get_filename_component(name ${scenario} NAME_WE)
      add_test(NAME e2e.${name} COMMAND ${ORBILUX_PYTHON} -B ${scenario} $<TARGET_FILE:orbilux-rush>)
      set_tests_properties(e2e.${name} PROPERTIES LABELS e2e TIMEOUT 240 RESOURCE_LOCK orbilux_e2e_display)
    endforeach()
    # Twenty compositors started and ended under a playing game.
    set_tests_properties(e2e.test_wayland_compositor_gone PROPERTIES TIMEOUT 600)
    # Ten kiosk compositors, each started with the game.
    set_tests_properties(e2e.test_cage PROPERTIES TIMEOUT 600)
  else()
    message(WARNING "Xvfb, xdotool, ImageMagick or python3 missing: the end-to-end tests are not registered")
  endif()
endif()
