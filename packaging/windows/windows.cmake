# The game as a Windows program: a windowed exe (no console) with its icon, version and
# manifest as resources, Open Sans beside it, and the licence texts of everything linked in.
# `cmake --install` lays out the folder that the portable zip and the installer carry.
set(windows_dir ${CMAKE_CURRENT_LIST_DIR})
set_target_properties(orbilux-rush PROPERTIES WIN32_EXECUTABLE TRUE)

# The icon: the chip face rendered from its SVG at the sizes Windows asks for, in one .ico.
find_program(ORBILUX_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ORBILUX_IMAGEMAGICK convert REQUIRED)
set(ico_dir ${CMAKE_CURRENT_BINARY_DIR}/ico)
set(ORBILUX_ICO ${ico_dir}/orbilux-rush.ico)
set(ico_pngs)
set(ico_commands)
foreach(size 16 20 24 32 40 48 64 256)
  list(APPEND ico_pngs ${ico_dir}/${size}.png)
  list(APPEND ico_commands COMMAND ${ORBILUX_RSVG_CONVERT} --width=${size} --height=${size} --format=png
       --output=${ico_dir}/${size}.png ${PROJECT_SOURCE_DIR}/assets/icon.svg)
endforeach()
add_custom_command(
  OUTPUT ${ORBILUX_ICO}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ico_dir}
  ${ico_commands}
  COMMAND ${ORBILUX_IMAGEMAGICK} ${ico_pngs} ${ORBILUX_ICO}
  DEPENDS ${PROJECT_SOURCE_DIR}/assets/icon.svg
  COMMENT "Rendering the Windows icon"
  VERBATIM)

set(ORBILUX_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/orbilux-rush.manifest)
configure_file(${windows_dir}/orbilux-rush.manifest.in ${ORBILUX_MANIFEST} @ONLY)
configure_file(${windows_dir}/orbilux-rush.rc.in ${CMAKE_CURRENT_BINARY_DIR}/orbilux-rush.rc @ONLY)
add_custom_target(orbilux_windows_icon DEPENDS ${ORBILUX_ICO})
add_dependencies(orbilux-rush orbilux_windows_icon)
target_sources(orbilux-rush PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/orbilux-rush.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/orbilux-rush.rc TARGET_DIRECTORY orbilux-rush PROPERTIES
                            OBJECT_DEPENDS "${ORBILUX_ICO};${ORBILUX_MANIFEST}")

# Open Sans, from Debian's fonts-open-sans, at the three weights the game draws with. Every
# program the build makes finds them in a fonts folder beside itself (render/shipped_fonts.h).
set(open_sans_dir /usr/share/fonts/truetype/open-sans)
set(ORBILUX_SHIPPED_FONTS ${open_sans_dir}/OpenSans-Regular.ttf ${open_sans_dir}/OpenSans-Bold.ttf
                          ${open_sans_dir}/OpenSans-ExtraBold.ttf)
foreach(font ${ORBILUX_SHIPPED_FONTS})
  if(NOT EXISTS ${font})
    message(FATAL_ERROR "${font} is missing: install fonts-open-sans (scripts/build-windows.sh does)")
  endif()
endforeach()
foreach(dir app tests)
  file(COPY ${ORBILUX_SHIPPED_FONTS} DESTINATION ${PROJECT_BINARY_DIR}/${dir}/fonts)
endforeach()

install(TARGETS orbilux-rush RUNTIME DESTINATION .)
install(FILES ${ORBILUX_SHIPPED_FONTS} DESTINATION fonts)
install(FILES /usr/share/doc/fonts-open-sans/copyright DESTINATION licences RENAME open-sans.txt)
# The MinGW-w64 runtime (its threads and C runtime start-up) is linked in too.
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licences RENAME mingw-w64-runtime.txt)
# The libraries' own licence texts, gathered when the stack was built.
include(${PROJECT_SOURCE_DIR}/packaging/stack-licences.cmake)
orbilux_install_stack_licences(licences)
install(FILES ${windows_dir}/README-windows.txt DESTINATION . RENAME README.txt)
