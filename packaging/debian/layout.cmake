# Run by CPack once the build is installed into its staging folder, before the Debian
# package is made of it: Debian keeps a game's program in /usr/games, and every package
# carries its changelog and copyright in /usr/share/doc/<package>. A plain `cmake --install`
# keeps the usual bin/ and none of these.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${usr}/games)
file(RENAME ${usr}/bin/${CPACK_PACKAGE_NAME} ${usr}/games/${CPACK_PACKAGE_NAME})
file(GLOB left_in_bin ${usr}/bin/*)
if(NOT left_in_bin)
  file(REMOVE_RECURSE ${usr}/bin)
endif()
set(doc ${usr}/share/doc/${CPACK_PACKAGE_NAME})
file(COPY ${CPACK_ORBILUX_DEBIAN_DOCS} DESTINATION ${doc}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
