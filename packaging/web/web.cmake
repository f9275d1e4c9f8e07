# The game as a static web site: the program linked for the browser with its page, the
# faces it draws with (cut down to the characters the game has to show), its icon and the
# licence texts. `cmake --install` lays out the folder any web server can serve.
set(web_dir ${CMAKE_CURRENT_LIST_DIR})
set(site_files ${CMAKE_CURRENT_BINARY_DIR}/site-files)

# The faces: Open Sans at the three weights the game draws with, DejaVu Sans for the signs
# Open Sans lacks. Only the characters that the game's texts hold (and printable ASCII for
# the numbers it formats) are kept, with their hinting and layout features, so each glyph
# is drawn exactly as from the full face.
find_program(ORBILUX_PYFTSUBSET pyftsubset REQUIRED)
set(web_fonts /usr/share/fonts/truetype/open-sans/OpenSans-Regular.ttf /usr/share/fonts/truetype/open-sans/OpenSans-Bold.ttf
              /usr/share/fonts/truetype/open-sans/OpenSans-ExtraBold.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
              /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)
file(GLOB text_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/game/*.cpp ${PROJECT_SOURCE_DIR}/render/*.cpp
                                           ${PROJECT_SOURCE_DIR}/render/*.h)
set(shown_text ${CMAKE_CURRENT_BINARY_DIR}/shown-text.txt)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${shown_text}
  COMMAND Python3::Interpreter ${web_dir}/shown_text.py ${shown_text} ${text_sources}
  DEPENDS ${text_sources} ${web_dir}/shown_text.py
  COMMENT "Gathering the characters the game shows"
  VERBATIM)
set(subset_fonts)
foreach(font ${web_fonts})
  if(NOT EXISTS ${font})
    message(FATAL_ERROR "${font} is missing: install fonts-open-sans and fonts-dejavu-core (scripts/build-web.sh does)")
  endif()
  get_filename_component(name ${font} NAME)
  set(out ${site_files}/fonts/${name})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site_files}/fonts
    COMMAND ${ORBILUX_PYFTSUBSET} ${font} --text-file=${shown_text} --unicodes=U+0020-007E --layout-features=* --name-IDs=* --name-languages=* --legacy-kern
            --drop-tables= --hinting-tables=* --passthrough-tables
            --output-file=${out}
    DEPENDS ${font} ${shown_text}
    COMMENT "Cutting ${name} down to the game's characters"
    VERBATIM)
  list(APPEND subset_fonts ${out})
endforeach()
add_custom_target(orbilux_web_fonts DEPENDS ${subset_fonts})
add_dependencies(orbilux-rush orbilux_web_fonts)

# Linking for the browser:
# - GObject calls its class and instance initialisers through pointers of another type,
#   which WebAssembly refuses at the call; emulated casts let those calls through.
# - An SDL built outside Emscripten's own ports needs two runtime helpers (sdl-runtime.js).
# - IndexedDB keeps the best score; the faces and their configuration are preloaded files.
target_link_options(orbilux-rush PRIVATE
  -sEMULATE_FUNCTION_POINTER_CASTS=1
  "SHELL:--js-library ${web_dir}/sdl-runtime.js" -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=orbilux_sdl_runtime
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432 -sENVIRONMENT=web
  -lidbfs.js
  "SHELL:--preload-file ${site_files}/fonts@/usr/share/fonts/orbilux-rush"
  "SHELL:--preload-file ${web_dir}/fonts.conf@/etc/fonts/fonts.conf")
set_property(TARGET orbilux-rush APPEND PROPERTY LINK_DEPENDS ${subset_fonts} ${web_dir}/fonts.conf ${web_dir}/sdl-runtime.js)

# Around the field the page shows the game's own letterbox colour (app/window.h), loading
# screen, manifest and icons alike: read from there, never written twice.
file(STRINGS ${PROJECT_SOURCE_DIR}/app/window.h letterbox_line REGEX "kLetterboxRed = 0x")
if(NOT letterbox_line MATCHES "Red = 0x([0-9A-F][0-9A-F]), kLetterboxGreen = 0x([0-9A-F][0-9A-F]), kLetterboxBlue = 0x([0-9A-F][0-9A-F])")
  message(FATAL_ERROR "no letterbox colour found in app/window.h")
endif()
string(TOLOWER "#${CMAKE_MATCH_1}${CMAKE_MATCH_2}${CMAKE_MATCH_3}" letterbox_colour)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/window.h)

# The page, its service worker and its manifest, written once the program is linked: they
# know its files' sizes and version, and the letterbox colour (page.cmake).
set(page_dir ${CMAKE_CURRENT_BINARY_DIR}/site)
set(page_files ${page_dir}/index.html ${page_dir}/sw.js ${page_dir}/manifest.webmanifest)
add_custom_command(
  OUTPUT ${page_files}
  COMMAND ${CMAKE_COMMAND} -DWEB_DIR=${web_dir} -DOUT_DIR=${page_dir} -DLETTERBOX=${letterbox_colour}
          -DJS=$<TARGET_FILE:orbilux-rush>
          -DWASM=$<TARGET_FILE_DIR:orbilux-rush>/orbilux-rush.wasm -DDATA=$<TARGET_FILE_DIR:orbilux-rush>/orbilux-rush.data
          -P ${web_dir}/page.cmake
  DEPENDS orbilux-rush ${web_dir}/index.html ${web_dir}/sw.js ${web_dir}/manifest.webmanifest ${web_dir}/page.cmake
          ${web_dir}/words.js ${web_dir}/scorm.js
  COMMENT "Writing the page"
  VERBATIM)
add_custom_target(orbilux_web_page ALL DEPENDS ${page_files})

# The icons a browser installs the page with; the maskable one keeps the picture inside the
# middle 80 % that every launcher's mask leaves, on the letterbox colour.
find_program(ORBILUX_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ORBILUX_CONVERT convert REQUIRED)
set(icon_svg ${PROJECT_SOURCE_DIR}/assets/icon.svg)
set(icons ${page_dir}/icon-192.png ${page_dir}/icon-512.png ${page_dir}/icon-maskable-512.png)
add_custom_command(
  OUTPUT ${icons}
  COMMAND ${ORBILUX_RSVG_CONVERT} --width=192 --height=192 --format=png --output=${page_dir}/icon-192.png ${icon_svg}
  COMMAND ${ORBILUX_RSVG_CONVERT} --width=512 --height=512 --format=png --output=${page_dir}/icon-512.png ${icon_svg}
  COMMAND ${ORBILUX_RSVG_CONVERT} --width=408 --height=408 --format=png --output=${page_dir}/icon-maskable-inner.png ${icon_svg}
  COMMAND ${ORBILUX_CONVERT} ${page_dir}/icon-maskable-inner.png -background ${letterbox_colour} -gravity center
          -extent 512x512 -alpha remove -strip ${page_dir}/icon-maskable-512.png
  COMMAND ${CMAKE_COMMAND} -E rm ${page_dir}/icon-maskable-inner.png
  DEPENDS ${icon_svg}
  COMMENT "Rendering the page's icons"
  VERBATIM)
add_custom_target(orbilux_web_icon ALL DEPENDS ${icons})

install(FILES ${page_files} ${icons} ${icon_svg} DESTINATION .)
# The page's words for assistive technology, and its side of a course platform.
install(FILES ${web_dir}/words.js ${web_dir}/scorm.js DESTINATION .)
install(FILES $<TARGET_FILE:orbilux-rush> $<TARGET_FILE_DIR:orbilux-rush>/orbilux-rush.wasm
              $<TARGET_FILE_DIR:orbilux-rush>/orbilux-rush.data DESTINATION .)
include(${PROJECT_SOURCE_DIR}/packaging/stack-licences.cmake)
orbilux_install_stack_licences(licences)
install(FILES ${web_dir}/LICENCES.txt DESTINATION licences RENAME README.txt)
install(FILES /usr/share/doc/fonts-open-sans/copyright DESTINATION licences RENAME open-sans.txt)
install(FILES /usr/share/doc/fonts-dejavu-core/copyright DESTINATION licences RENAME dejavu.txt)
# Emscripten's runtime (its C and C++ libraries and JavaScript support) is linked in too.
install(FILES /usr/share/doc/emscripten/copyright DESTINATION licences RENAME emscripten-runtime.txt)
