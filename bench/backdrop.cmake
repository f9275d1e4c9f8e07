# The scene backdrop alone: each scene under way, and the first seconds of each level.
if(TARGET orbilux_render)
  add_executable(backdrop_bench backdrop_bench.cpp)
  target_link_libraries(backdrop_bench PRIVATE orbilux_render "$<LINK_GROUP:RESCAN,orbilux_game,orbilux_headless_host>"
                                               benchmark::benchmark)
endif()
