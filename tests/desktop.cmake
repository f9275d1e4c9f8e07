# The game as a desktop program: its command line, the fullscreen keys and the gamepads on
# their way into the rules, and what `cmake --install` puts where.
if(TARGET orbilux_app AND TARGET orbilux_audio)
  add_executable(app_desktop_tests app_cli_test.cpp app_input_test.cpp app_pad_sdl_test.cpp)
  target_compile_definitions(app_desktop_tests PRIVATE ORBILUX_TEST_VERSION="${PROJECT_VERSION}")
  target_link_libraries(app_desktop_tests PRIVATE "$<LINK_GROUP:RESCAN,orbilux_app,orbilux_audio,orbilux_game>"
                        GTest::gtest_main)
  gtest_discover_tests(app_desktop_tests DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy" ENVIRONMENT_MODIFICATION "${ORBILUX_TEST_CONFIG_DIR}")
endif()

if(TARGET orbilux-rush)
  find_program(ORBILUX_PYTHON python3)
  if(ORBILUX_PYTHON)
    # The real program's answers to its flags, without any display.
    add_test(NAME desktop.command_line
             COMMAND ${ORBILUX_PYTHON} -B ${CMAKE_CURRENT_SOURCE_DIR}/package/check_cli.py
                     $<TARGET_FILE:orbilux-rush> ${PROJECT_VERSION})
  endif()
  # Everything installed where desktops look for it, and accepted by their validators.
  add_test(NAME desktop.install
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package/check-install.sh ${PROJECT_BINARY_DIR} ${ORBILUX_APP_ID})
  set_tests_properties(desktop.install PROPERTIES TIMEOUT 120)
endif()
