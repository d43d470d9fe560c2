# Run by CPack on the staged files of the Debian package before it is packed.
# Games belong in /usr/games under Debian's policy: the launcher moves there
# from /usr/bin (it finds the game and its art relative to itself, and games/
# lies as deep as bin/). The game loses the compiler's .comment and .note
# sections, which a stripped Debian binary does not carry, and the package
# gets its lintian overrides.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${usr}/games)
file(RENAME ${usr}/bin/lakeport-nights ${usr}/games/lakeport-nights)
execute_process(COMMAND rmdir ${usr}/bin COMMAND_ERROR_IS_FATAL ANY)
find_program(LAKEPORT_STRIP strip REQUIRED)
execute_process(COMMAND ${LAKEPORT_STRIP} --remove-section=.comment --remove-section=.note
                        ${usr}/libexec/lakeport-nights/lakeport-nights
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CPACK_LAKEPORT_DIST_DIR}/lintian-overrides
               ${usr}/share/lintian/overrides/lakeport-nights COPYONLY)
