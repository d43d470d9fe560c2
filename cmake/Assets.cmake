# Makes the game's default art, font strips and sounds from the sources in
# assets/ into ${LAKEPORT_GAME_BUILD_DIR}/pics and /sounds, as part of ALL.
# Every output is one custom command with its real inputs as dependencies, so a
# rebuild with nothing changed makes nothing.

set(LAKEPORT_ASSET_SOURCE ${CMAKE_SOURCE_DIR}/assets)
set(LAKEPORT_ASSET_WORK ${CMAKE_BINARY_DIR}/asset-work)
set(LAKEPORT_PICS ${LAKEPORT_GAME_BUILD_DIR}/pics)
set(LAKEPORT_SOUNDS ${LAKEPORT_GAME_BUILD_DIR}/sounds)
file(MAKE_DIRECTORY ${LAKEPORT_ASSET_WORK} ${LAKEPORT_PICS} ${LAKEPORT_SOUNDS})

find_program(LAKEPORT_RSVG rsvg-convert REQUIRED)
# ImageMagick 6 by its own name first, so a wrapper earlier on the PATH is not taken.
find_program(LAKEPORT_CONVERT NAMES convert-im6.q16 convert REQUIRED)
find_program(LAKEPORT_SOX sox REQUIRED)
find_program(LAKEPORT_ESPEAK espeak-ng REQUIRED)
pkg_check_modules(LAKEPORT_ARTKIT_DEPS REQUIRED IMPORTED_TARGET freetype2 libpng)

# The art tool runs on the build machine: font strips, figure cards, BMP files,
# the title tune.
file(GLOB LAKEPORT_ARTKIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/artkit/*.cpp)
add_executable(lakeport-artkit ${LAKEPORT_ARTKIT_SOURCES})
target_link_libraries(lakeport-artkit PRIVATE PkgConfig::LAKEPORT_ARTKIT_DEPS)
set(ARTKIT $<TARGET_FILE:lakeport-artkit>)

set(LAKEPORT_ASSET_FILES "")

# A font file of a Debian font package, found below /usr/share/fonts.
function(lakeport_find_font var name package)
  find_file(${var} NAMES ${name} PATHS /usr/share/fonts
    PATH_SUFFIXES opentype/yanone-kaffeesatz truetype/beteckna opentype/bebas-neue
                  opentype/sortsmill truetype/adf truetype/dejavu
    NO_DEFAULT_PATH)
  if(NOT ${var})
    message(FATAL_ERROR "Font ${name} not found: install the Debian package ${package} (tools/packages.txt)")
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/assets/Fonts.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/assets/Pictures.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/assets/Sounds.cmake)

add_custom_target(lakeport-assets ALL DEPENDS ${LAKEPORT_ASSET_FILES})
