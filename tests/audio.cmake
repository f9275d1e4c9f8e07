# The sound: synthesis needs no device; the streams play through SDL's disk driver into a file
# the test reads back. Neither is an end-to-end test, so both also run under the sanitizers.
if(TARGET orbilux_synth)
  add_executable(audio_synth_tests audio_synth_test.cpp)
  target_link_libraries(audio_synth_tests PRIVATE orbilux_synth GTest::gtest_main)
  gtest_discover_tests(audio_synth_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "audio")
endif()

if(TARGET orbilux_audio)
  add_executable(audio_stream_tests audio_stream_test.cpp)
  target_link_libraries(audio_stream_tests PRIVATE orbilux_audio GTest::gtest_main)
  gtest_discover_tests(audio_stream_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "audio" TIMEOUT 60)
endif()
