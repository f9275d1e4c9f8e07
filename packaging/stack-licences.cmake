# The licence texts gathered when the library stack was built, installed as files the player
# can open. A library's source may keep its licence as a link to another of its files (GLib's
# COPYING names LICENSES/LGPL-2.1-or-later.txt): such a link is laid out as the text it names,
# from the stack's copy of its folder or else from the library's source tarball, which the
# stack builder keeps in src/ beside the stacks (packaging/build-stack-common.sh). A licence
# may also point to its text elsewhere in the source (FreeType's LICENSE.TXT to the FreeType
# License in docs/FTL.TXT): those texts are taken from the tarball too.
set(ORBILUX_LICENCE_TEXTS_ELSEWHERE freetype/docs/FTL.TXT)

# Sets out_var to the file <path> of a package's source (<package>/<path>), unpacked from
# its tarball into the build folder.
function(orbilux_text_from_source package_path out_var)
  string(REGEX MATCH "^([^/]+)/(.+)$" matched "${package_path}")
  set(package ${CMAKE_MATCH_1})
  set(inside ${CMAKE_MATCH_2})
  get_filename_component(stack_cache ${ORBILUX_STACK_PREFIX} DIRECTORY)
  set(tarball_of "source \"$0\" && cache=\"$1\" && tarball_of \"$2\"")
  execute_process(
    COMMAND bash -c ${tarball_of} ${PROJECT_SOURCE_DIR}/packaging/build-stack-common.sh ${stack_cache} ${package}
    OUTPUT_VARIABLE tarball OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(NOT tarball)
    message(FATAL_ERROR "no source of ${package} in ${stack_cache}/src, for its ${inside}")
  endif()
  set(unpacked ${CMAKE_CURRENT_BINARY_DIR}/licences-from-source/${package})
  file(ARCHIVE_EXTRACT INPUT ${tarball} DESTINATION ${unpacked} PATTERNS "*/${inside}")
  file(GLOB text ${unpacked}/*/${inside})
  if(NOT text)
    message(FATAL_ERROR "${tarball} holds no ${inside}")
  endif()
  set(${out_var} ${text} PARENT_SCOPE)
endfunction()

function(orbilux_install_stack_licences destination)
  set(licences ${ORBILUX_STACK_PREFIX}/share/licences)
  file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE ${licences} ${licences}/*)
  if(NOT entries)
    message(FATAL_ERROR "${licences} holds no licence: the library stack is incomplete")
  endif()
  foreach(entry ${entries})
    get_filename_component(folder ${entry} DIRECTORY)
    get_filename_component(name ${entry} NAME)
    set(text ${licences}/${entry})
    if(IS_SYMLINK ${text})
      file(READ_SYMLINK ${text} named)
      file(REAL_PATH ${named} text BASE_DIRECTORY ${licences}/${folder})
      if(NOT EXISTS ${text})
        # licences/<package>/<path> holds what <path> is in the package's source.
        orbilux_text_from_source(${folder}/${named} text)
      endif()
    endif()
    install(FILES ${text} DESTINATION ${destination}/${folder} RENAME ${name})
  endforeach()
  foreach(package_path ${ORBILUX_LICENCE_TEXTS_ELSEWHERE})
    string(REGEX REPLACE "/.*" "" package ${package_path})
    if(IS_DIRECTORY ${licences}/${package})
      orbilux_text_from_source(${package_path} text)
      install(FILES ${text} DESTINATION ${destination}/${package})
    endif()
  endforeach()
endfunction()
