# The six font strips, rendered from Debian's font packages by the art tool.
# pussycat18 is the font of every text: a narrow 1920s coffee-house face, light
# on a dark outline so that it reads on every backdrop.

lakeport_find_font(LAKEPORT_FONT_FALLBACK DejaVuSans.ttf fonts-dejavu-core)
lakeport_find_font(LAKEPORT_FONT_KAFFEESATZ YanoneKaffeesatz-Regular.otf fonts-yanone-kaffeesatz)
lakeport_find_font(LAKEPORT_FONT_BETECKNA BetecknaGS.ttf fonts-beteckna)
lakeport_find_font(LAKEPORT_FONT_BEBAS BebasNeue-Regular.otf fonts-bebas-neue)
lakeport_find_font(LAKEPORT_FONT_GOUDY GoudyBookletter1911.otf fonts-goudybookletter)
lakeport_find_font(LAKEPORT_FONT_ROMANDE RomandeADFStyleStd-Regular.otf fonts-adf-romande)
lakeport_find_font(LAKEPORT_FONT_GILLIUS GilliusADFNo2-Regular.otf fonts-adf-gillius)

# lakeport_font_strip(<file> <face> <artkit style arguments>...)
function(lakeport_font_strip file face)
  set(out ${LAKEPORT_PICS}/${file})
  add_custom_command(OUTPUT ${out}
    COMMAND ${ARTKIT} font out=${out} face=${face} fallback=${LAKEPORT_FONT_FALLBACK} ${ARGN}
    DEPENDS lakeport-artkit ${face}
    COMMENT "Font strip ${file}" VERBATIM)
  set(LAKEPORT_ASSET_FILES ${LAKEPORT_ASSET_FILES} ${out} PARENT_SCOPE)
endfunction()

lakeport_font_strip(andes16.png ${LAKEPORT_FONT_BETECKNA}
  size=16 height=16 fill=f4dca0 halo=0.8 halocolor=160c04)
lakeport_font_strip(impact16.png ${LAKEPORT_FONT_BEBAS}
  size=16 height=16 tracking=1 fill=fff4e0 shadow=0.9 halocolor=200800 gradient=0.25)
lakeport_font_strip(pussycat18.png ${LAKEPORT_FONT_KAFFEESATZ}
  size=18 height=18 fill=f2e6c8 halo=0.85 halocolor=140c06)
lakeport_font_strip(Antiqua_greyed-68-10.png ${LAKEPORT_FONT_GOUDY}
  size=14 height=16 fill=adadad halo=0.7 halocolor=101010)
lakeport_font_strip(Caligula_greyed-68-10.png ${LAKEPORT_FONT_ROMANDE}
  size=14 height=16 fill=adadad halo=0.7 halocolor=101010)
lakeport_font_strip(MacHumaine_greyed-68-10.png ${LAKEPORT_FONT_GILLIUS}
  size=14 height=16 fill=adadad halo=0.7 halocolor=101010)
