# The sound's speed: the longest music loop and each effect, fast and evaluated directly.
if(TARGET orbilux_synth)
  add_executable(audio_bench audio_bench.cpp)
  target_link_libraries(audio_bench PRIVATE orbilux_synth benchmark::benchmark)
endif()
