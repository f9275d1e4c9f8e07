# The embedded mascot picture, its build rule, and the application icon at its smallest size.
if(TARGET orbilux_assets)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ASSETS_TEST_CAIRO REQUIRED IMPORTED_TARGET cairo)

  add_executable(assets_tests assets_test.cpp)
  target_link_libraries(assets_tests PRIVATE orbilux_assets PkgConfig::ASSETS_TEST_CAIRO GTest::gtest_main)
  target_compile_definitions(assets_tests PRIVATE
    "ORBILUX_MASCOT_PNG_FILE=\"$<TARGET_PROPERTY:orbilux_assets,ORBILUX_MASCOT_PNG>\""
    "ORBILUX_MASCOT_SVG_FILE=\"${PROJECT_SOURCE_DIR}/assets/mascot.svg\""
    "ORBILUX_ICON_SVG_FILE=\"${PROJECT_SOURCE_DIR}/assets/icon.svg\""
    "ORBILUX_RSVG_CONVERT=\"${ORBILUX_RSVG_CONVERT}\""
    "ORBILUX_TEST_OUTPUT_DIR=\"${CMAKE_CURRENT_BINARY_DIR}\"")
  gtest_discover_tests(assets_tests DISCOVERY_TIMEOUT 60)
endif()
