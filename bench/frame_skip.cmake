# A tick's frame on a still screen: the key compared and nothing composed, beside composing it.
if(TARGET orbilux_render)
  add_executable(frame_skip_bench frame_skip_bench.cpp)
  target_link_libraries(frame_skip_bench PRIVATE orbilux_render "$<LINK_GROUP:RESCAN,orbilux_game,orbilux_headless_host>"
                                                 benchmark::benchmark)
endif()
