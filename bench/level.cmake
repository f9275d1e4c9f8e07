# A level's start: next_level with its music rendered, beside the formulas evaluated directly.
if(TARGET orbilux_synth)
  add_executable(level_bench level_bench.cpp)
  target_link_libraries(level_bench PRIVATE orbilux_game orbilux_synth benchmark::benchmark)
endif()
