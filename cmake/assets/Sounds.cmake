# The sounds: recipes in assets/sounds run sox (and espeak-ng, and the art
# tool for the title tune). Each WAV file is 44100 Hz, 16-bit stereo, its peak
# set by its recipe so that no sound clips and none drowns the others.

set(LAKEPORT_SOUND_SOURCE ${LAKEPORT_ASSET_SOURCE}/sounds)

# lakeport_sound(<file> <recipe> [variant...])
function(lakeport_sound file recipe)
  set(out ${LAKEPORT_SOUNDS}/${file})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E env SOX=${LAKEPORT_SOX} ESPEAK=${LAKEPORT_ESPEAK} ARTKIT=$<TARGET_FILE:lakeport-artkit>
            bash ${LAKEPORT_SOUND_SOURCE}/${recipe}.sh ${out} ${LAKEPORT_ASSET_WORK}/sound-${file} ${ARGN}
    DEPENDS ${LAKEPORT_SOUND_SOURCE}/${recipe}.sh ${LAKEPORT_SOUND_SOURCE}/lib.sh
    COMMENT "Sound ${file}" VERBATIM)
  set(LAKEPORT_ASSET_FILES ${LAKEPORT_ASSET_FILES} ${out} PARENT_SCOPE)
endfunction()

foreach(gun 1 2 3)
  lakeport_sound(shot_gun${gun}.wav weapon-shot ${gun})
  lakeport_sound(empty_gun${gun}.wav weapon-empty ${gun})
  lakeport_sound(load_gun${gun}_press.wav weapon-load ${gun} press)
  lakeport_sound(load_gun${gun}_release.wav weapon-load ${gun} release)
endforeach()
foreach(kind 1 2 3 4 5 6 7 8)
  lakeport_sound(target0${kind}.wav gangster-shot ${kind})
endforeach()
foreach(plate 1 2 3)
  lakeport_sound(hit_metal0${plate}.wav hit-metal ${plate})
endforeach()
lakeport_sound(shouts.wav shouts)
lakeport_sound(title_20__1.wav title-tune)
add_custom_command(OUTPUT ${LAKEPORT_SOUNDS}/title_20__1.wav
  DEPENDS ${LAKEPORT_SOUND_SOURCE}/title-tune.txt lakeport-artkit APPEND)
