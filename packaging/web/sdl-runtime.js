// SDL2 built outside Emscripten's own ports calls two of the runtime's helpers by name from
// its inline JavaScript, where the linker cannot see them: this library asks for them.
mergeInto(LibraryManager.library, {
  orbilux_sdl_runtime__deps: ["$autoResumeAudioContext", "$dynCall"],
  orbilux_sdl_runtime: function () {},
});
