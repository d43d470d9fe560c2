# The pictures: SVG sources rendered with rsvg-convert, finished with ImageMagick
# (the old-photograph look) or by the art tool (exact BMP files).

set(LAKEPORT_PICTURE_SOURCE ${LAKEPORT_ASSET_SOURCE}/pictures)

# Renders an SVG source to a PNG in the work folder. Extra dependencies (shared
# definitions the source includes, a stylesheet) follow DEPENDS.
function(lakeport_render out svg)
  cmake_parse_arguments(R "" "STYLESHEET" "DEPENDS" ${ARGN})
  set(style "")
  if(R_STYLESHEET)
    set(style -s ${R_STYLESHEET})
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND ${LAKEPORT_RSVG} ${style} -o ${out} ${svg}
    DEPENDS ${svg} ${R_STYLESHEET} ${R_DEPENDS}
    COMMENT "Rendering ${svg}" VERBATIM)
endfunction()

# --- Scenes: 640 x 480 JPEG, each level also dimmed and as a small choice picture.
set(LAKEPORT_SCENE_DIR ${LAKEPORT_PICTURE_SOURCE}/scenes)
set(LAKEPORT_SCENE_COMMON ${LAKEPORT_SCENE_DIR}/common.xml)
# The old-photograph finish: a little softness, most of the way to sepia, a
# gentle vignette and film grain, seeded so that every build makes the same files.
set(LAKEPORT_PHOTO_FINISH
  -gaussian-blur 0x0.5
  ( +clone -sepia-tone 82% ) -compose blend -define compose:args=58 -composite
  ( -size 640x480 "radial-gradient:#ffffff-#6a6a6a" -gravity center -crop 640x480+0+0 +repage )
  -compose multiply -composite
  -seed 1926 -attenuate 0.3 +noise Gaussian)
# The dimmed twin: darker and flatter, still showing the scene.
set(LAKEPORT_DIM -modulate 65,75 +level 2%,75%)

# lakeport_scene(<source name> <picture base name> [DIMMED_ONLY] [CHOICE <bmp>])
function(lakeport_scene source base)
  cmake_parse_arguments(S "DIMMED_ONLY" "CHOICE" "" ${ARGN})
  set(raw ${LAKEPORT_ASSET_WORK}/scene-${source}-raw.png)
  set(photo ${LAKEPORT_ASSET_WORK}/scene-${source}.png)
  set(outputs "")
  lakeport_render(${raw} ${LAKEPORT_SCENE_DIR}/${source}.svg DEPENDS ${LAKEPORT_SCENE_COMMON})
  add_custom_command(OUTPUT ${photo}
    COMMAND ${LAKEPORT_CONVERT} ${raw} ${LAKEPORT_PHOTO_FINISH} ${photo}
    DEPENDS ${raw} COMMENT "Finishing scene ${source}" VERBATIM)
  if(NOT S_DIMMED_ONLY)
    add_custom_command(OUTPUT ${LAKEPORT_PICS}/${base}.jpg
      COMMAND ${LAKEPORT_CONVERT} ${photo} -quality 90 ${LAKEPORT_PICS}/${base}.jpg
      DEPENDS ${photo} VERBATIM)
    list(APPEND outputs ${LAKEPORT_PICS}/${base}.jpg)
  endif()
  add_custom_command(OUTPUT ${LAKEPORT_PICS}/${base}_-50_-30.jpg
    COMMAND ${LAKEPORT_CONVERT} ${photo} ${LAKEPORT_DIM} -quality 90 ${LAKEPORT_PICS}/${base}_-50_-30.jpg
    DEPENDS ${photo} VERBATIM)
  list(APPEND outputs ${LAKEPORT_PICS}/${base}_-50_-30.jpg)
  if(S_CHOICE)
    set(small ${LAKEPORT_ASSET_WORK}/choice-${source}.png)
    add_custom_command(OUTPUT ${LAKEPORT_PICS}/${S_CHOICE}
      COMMAND ${LAKEPORT_CONVERT} ${photo} -crop 384x288+128+96 +repage -resize 116x88! -unsharp 0x0.6
              -bordercolor "#c8b488" -border 1 -bordercolor "#1a120a" -border 1 -shave 2x2
              -bordercolor "#c8b488" -border 1 -bordercolor "#1a120a" -border 1 -shave 2x2 ${small}
      COMMAND ${ARTKIT} bmp out=${LAKEPORT_PICS}/${S_CHOICE} in=${small}
      DEPENDS ${photo} lakeport-artkit VERBATIM)
    list(APPEND outputs ${LAKEPORT_PICS}/${S_CHOICE})
  endif()
  set(LAKEPORT_ASSET_FILES ${LAKEPORT_ASSET_FILES} ${outputs} PARENT_SCOPE)
endfunction()

lakeport_scene(garage pic32_1200x900_verlauf_640x480 CHOICE level_a_116x88.bmp)
lakeport_scene(tirestore qmorvel_Tire_Store_v_verlauf_640x480 CHOICE level_b_116x88.bmp)
lakeport_scene(mainstreet main-street_a_01_cut_a_01_verlauf_640x480 CHOICE level_c_116x88.bmp)
lakeport_scene(smokeshop smoke-shop_a_01_cut_a_01_verlauf_640x480 CHOICE level_d_116x88.bmp)
lakeport_scene(flowershop flower-shop_a_01_cut_a_01_verlauf_640x480 CHOICE level_e_116x88.bmp)
lakeport_scene(halloffame hall-of-fame_a_01_cut_a_01_verlauf_640x480 DIMMED_ONLY)
lakeport_scene(dead dead_a_01_cut_a_01_verlauf_640x480 DIMMED_ONLY)

# The title keeps its own colours: only grain and a soft vignette.
set(LAKEPORT_TITLE_RAW ${LAKEPORT_ASSET_WORK}/title-raw.png)
lakeport_render(${LAKEPORT_TITLE_RAW} ${LAKEPORT_SCENE_DIR}/title.svg DEPENDS ${LAKEPORT_SCENE_COMMON})
add_custom_command(OUTPUT ${LAKEPORT_PICS}/title.jpg
  COMMAND ${LAKEPORT_CONVERT} ${LAKEPORT_TITLE_RAW}
          ( +clone -sepia-tone 85% ) -compose blend -define compose:args=35 -composite
          -seed 1926 -attenuate 0.25 +noise Gaussian -quality 90 ${LAKEPORT_PICS}/title.jpg
  DEPENDS ${LAKEPORT_TITLE_RAW} VERBATIM)
list(APPEND LAKEPORT_ASSET_FILES ${LAKEPORT_PICS}/title.jpg)

# --- Figures: 88 x 200 BMP cards, normal and hit, and their exact mirrors.
set(LAKEPORT_FIGURE_DIR ${LAKEPORT_PICTURE_SOURCE}/figures)
set(LAKEPORT_FIGURE_SEED 1)
foreach(kind n o p q d e g h k)
  set(svg ${LAKEPORT_FIGURE_DIR}/${kind}.svg)
  set(person ${LAKEPORT_ASSET_WORK}/figure-${kind}.png)
  set(struck ${LAKEPORT_ASSET_WORK}/figure-${kind}-hit.png)
  lakeport_render(${person} ${svg} DEPENDS ${LAKEPORT_FIGURE_DIR}/defs.xml)
  lakeport_render(${struck} ${svg} STYLESHEET ${LAKEPORT_FIGURE_DIR}/hit.css
                  DEPENDS ${LAKEPORT_FIGURE_DIR}/defs.xml)
  set(normal ${LAKEPORT_PICS}/target_${kind}_01_88x200.bmp)
  set(hit ${LAKEPORT_PICS}/target_hit_${kind}_01_88x200.bmp)
  math(EXPR hitSeed "${LAKEPORT_FIGURE_SEED} + 1")
  add_custom_command(OUTPUT ${normal}
    COMMAND ${ARTKIT} figure out=${normal} person=${person} tone=cold seed=${LAKEPORT_FIGURE_SEED}
    DEPENDS ${person} lakeport-artkit VERBATIM)
  add_custom_command(OUTPUT ${hit}
    COMMAND ${ARTKIT} figure out=${hit} person=${struck} tone=hit seed=${hitSeed}
    DEPENDS ${struck} lakeport-artkit VERBATIM)
  list(APPEND LAKEPORT_ASSET_FILES ${normal} ${hit})
  if(kind MATCHES "^[nopq]$")
    foreach(pic target_${kind}_01_88x200 target_hit_${kind}_01_88x200)
      add_custom_command(OUTPUT ${LAKEPORT_PICS}/${pic}_mirror.bmp
        COMMAND ${ARTKIT} mirror out=${LAKEPORT_PICS}/${pic}_mirror.bmp in=${LAKEPORT_PICS}/${pic}.bmp
        DEPENDS ${LAKEPORT_PICS}/${pic}.bmp lakeport-artkit VERBATIM)
      list(APPEND LAKEPORT_ASSET_FILES ${LAKEPORT_PICS}/${pic}_mirror.bmp)
    endforeach()
  endif()
  math(EXPR LAKEPORT_FIGURE_SEED "${LAKEPORT_FIGURE_SEED} + 2")
endforeach()

# --- Small pictures: crosshairs, flashes, the shot mark, the pips, weapons,
# the keyboard. Those with a colour key get it exactly around their shapes.
set(LAKEPORT_UI_DIR ${LAKEPORT_PICTURE_SOURCE}/ui)

# lakeport_ui_bmp(<source name> <bmp file> [KEY <RRGGBB>] [CROP <geometry>] [DEPENDS ...])
function(lakeport_ui_bmp source file)
  cmake_parse_arguments(U "" "KEY;CROP" "DEPENDS" ${ARGN})
  set(png ${LAKEPORT_ASSET_WORK}/ui-${source}.png)
  # Each source is rendered once, whatever number of pictures it gives.
  get_property(rendered GLOBAL PROPERTY LAKEPORT_UI_RENDERED)
  if(NOT source IN_LIST rendered)
    lakeport_render(${png} ${LAKEPORT_UI_DIR}/${source}.svg DEPENDS ${U_DEPENDS})
    set_property(GLOBAL APPEND PROPERTY LAKEPORT_UI_RENDERED ${source})
  endif()
  set(in ${png})
  set(commands "")
  if(U_CROP)
    set(in ${LAKEPORT_ASSET_WORK}/ui-${file}.png)
    set(commands COMMAND ${LAKEPORT_CONVERT} ${png} -crop ${U_CROP} +repage ${in})
  endif()
  set(key "")
  if(U_KEY)
    set(key key=${U_KEY})
  endif()
  add_custom_command(OUTPUT ${LAKEPORT_PICS}/${file}
    ${commands}
    COMMAND ${ARTKIT} bmp out=${LAKEPORT_PICS}/${file} in=${in} ${key}
    DEPENDS ${png} lakeport-artkit VERBATIM)
  set(LAKEPORT_ASSET_FILES ${LAKEPORT_ASSET_FILES} ${LAKEPORT_PICS}/${file} PARENT_SCOPE)
endfunction()

foreach(c a b c d f)
  lakeport_ui_bmp(cross_${c} cross_${c}_02.bmp KEY 000000)
endforeach()
set(LAKEPORT_FLASH_X 0)
foreach(f a b c d f h j k l)
  lakeport_ui_bmp(flashes shot_${f}_01.bmp KEY 000000 CROP 20x20+${LAKEPORT_FLASH_X}+0)
  math(EXPR LAKEPORT_FLASH_X "${LAKEPORT_FLASH_X} + 20")
endforeach()
lakeport_ui_bmp(mark shot_fail_6x6_e_01.bmp KEY ffffff)
lakeport_ui_bmp(pips le5_4x12.bmp CROP 4x12+0+0)
lakeport_ui_bmp(pips le5bg_4x12.bmp CROP 4x12+4+0)
lakeport_ui_bmp(keyboard keyboard_a_02_transp-9C9886_220x120.bmp KEY a8a594)
foreach(w singleshot sixshooter thompson)
  lakeport_ui_bmp(${w} ${w}_200x90.bmp DEPENDS ${LAKEPORT_UI_DIR}/weapon-card.xml)
endforeach()
