# Drawing speed: the busiest play frame and the full screens, each beside its plain twin.
if(TARGET orbilux_render)
  add_executable(compose_bench compose_bench.cpp)
  target_link_libraries(compose_bench PRIVATE orbilux_render "$<LINK_GROUP:RESCAN,orbilux_game,orbilux_headless_host>"
                                              benchmark::benchmark)
endif()
