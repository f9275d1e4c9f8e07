# Drawing speed: the busiest play frame and the full screens, each beside its plain twin.
if(TARGET orbilux_render)
  add_executable(compose_bench compose_bench.cpp)
  target_link_libraries(compose_bench PRIVATE orbilux_render "$<LINK_GROUP:RESCAN,orbilux_game,orbilux_headless_host>"
                                              benchmark::benchmark)
endif()

# A recorded minute of play composed and uploaded where it changed, beside whole frames.
find_package(SDL2 QUIET)
if(TARGET orbilux_render AND TARGET SDL2::SDL2)
  add_executable(session_bench session_bench.cpp)
  target_link_libraries(session_bench PRIVATE orbilux_render "$<LINK_GROUP:RESCAN,orbilux_game,orbilux_headless_host>"
                                              SDL2::SDL2 benchmark::benchmark)
endif()
