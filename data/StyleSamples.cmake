# One small sample project per window style, built from our own pictures:
# the bundled scenes to play, and the skins, skin buttons and banners that
# `duduri-pack skinkit` paints (tools/duduri-pack/SkinKit.h holds the places
# used below). Included from app/CMakeLists.txt; the projects land in
# bin/samples/style-<N>.pzp:
#
#   15, 20, 21  a normal window over the work area in the "Default",
#               "OfficeXP" and "Stripes" looks, with a banner strip
#   19          a skinned window with two skins (amber and jade), skin
#               buttons, a clock panel and banners on each skin
#   49          full screen, banner strip and a clock on the toolbar
#
# Play one with: bin/duduri bin/samples/style-19.pzp
#
# The create arguments go through argument files (one argument a line),
# since a command parameter of "" does not survive a CMake list.

set(samples ${bin}/samples)
set(kit ${CMAKE_CURRENT_BINARY_DIR}/skinkit)
set(args ${CMAKE_CURRENT_BINARY_DIR}/sample-args)
set(kit_files ${kit}/skin-amber.bmp ${kit}/skin-jade.bmp
  ${kit}/banner-1.jpg ${kit}/banner-2.jpg ${kit}/banner-3.jpg)
foreach(skin amber jade)
  foreach(icon new show pause skin exit)
    foreach(face normal hover pressed)
      list(APPEND kit_files ${kit}/button-${skin}-${icon}-${face}.bmp)
    endforeach()
  endforeach()
endforeach()
add_custom_command(
  OUTPUT ${kit_files}
  COMMAND duduri-pack skinkit ${kit}
  DEPENDS duduri-pack
  COMMENT "Painting the sample skins and banners"
  VERBATIM)

# Menus every sample has: the toolbar with separators, and a popup menu
# (a right click beside the pieces).
file(WRITE ${args}/menus.args "--menu
&Game/&New game
15

--menu
&Game/&Pause
24

--menu
&Game/-
-1

--menu
&Game/&Show picture
6

--menu
&Game/Solve &one piece
10

--menu
&Game/Solve &all
7

--menu
&Game/-
-1

--menu
&Game/E&xit
3

--menu
&Help/&High scores
12

--menu
&Help/&About
5

--popup
&Show picture
6

--popup
Select &all
25

--popup
&Deselect all
26

--popup
-
-1

--popup
&New game
15

")

file(WRITE ${args}/banners.args "--banner
${kit}/banner-1.jpg
https://example.org/harbour
4000
--banner
${kit}/banner-2.jpg
https://example.org/meadow
3000
--banner
${kit}/banner-3.jpg
https://example.org/mosaic
5000
")

# The skinned sample: two skins, five buttons each (new game, show picture,
# pause, select skin, exit), a clock panel and a banner container on each.
set(skin_args "")
foreach(skin amber jade)
  if(skin STREQUAL "amber")
    set(board "32\n100\n736\n410")
    set(lefts 36 84 132 180 228)
    set(clock "600\n46\n164\n36\nDejaVu Sans\n16\n--text-colour\nFFF0B0\n--text-bold")
  else()
    set(board "60\n110\n600\n390")
    set(lefts 430 478 526 574 622)
    set(clock "84\n46\n150\n36\nDejaVu Sans\n15\n--text-colour\nE6FAEB\n--text-background\n103A24")
  endif()
  string(APPEND skin_args "--skin\n${kit}/skin-${skin}.bmp\n${board}\n")
  set(codes 15 6 24 9 3)
  set(icons new show pause skin exit)
  foreach(i RANGE 4)
    list(GET lefts ${i} left)
    list(GET codes ${i} code)
    list(GET icons ${i} icon)
    set(b ${kit}/button-${skin}-${icon})
    string(APPEND skin_args
      "--skin-button\n${left}\n44\n${b}-normal.bmp\n${b}-hover.bmp\n${b}-pressed.bmp\n${code}\n\n")
  endforeach()
  string(APPEND skin_args "--text-style\n${clock}\n")
  if(skin STREQUAL "amber")
    string(APPEND skin_args "--banner-container\n166\n526\n@${args}/banners.args\n")
  else()
    string(APPEND skin_args
      "--banner-container\n126\n522\n--container-banner\n3\n--container-banner\n1\n")
  endif()
endforeach()
file(WRITE ${args}/skins.args "${skin_args}")

set(style_pictures
  ${PROJECT_SOURCE_DIR}/data/harbour.jpg
  ${PROJECT_SOURCE_DIR}/data/meadow.jpg
  ${PROJECT_SOURCE_DIR}/data/mosaic.jpg
  ${PROJECT_SOURCE_DIR}/data/tower.jpg)

function(style_sample style title)
  set(out ${samples}/style-${style}.pzp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${samples}
    COMMAND duduri-pack create ${out} ${style_pictures}
            --title ${title} --choice sequence --range 25 50
            --templates ${bin}/all.pzjc @${args}/menus.args ${ARGN}
    DEPENDS duduri-pack ${bin}/all.pzjc ${style_pictures} ${kit_files}
            ${args}/menus.args ${args}/banners.args ${args}/skins.args
    COMMENT "Building the sample project of window style ${style}"
    VERBATIM)
  set(style_sample_files ${style_sample_files} ${out} PARENT_SCOPE)
endfunction()

style_sample(15 "Morvenhal Duduri - Default" --style 15 @${args}/banners.args)
style_sample(20 "Morvenhal Duduri - OfficeXP" --style 20 @${args}/banners.args)
style_sample(21 "Morvenhal Duduri - Stripes" --style 21 @${args}/banners.args)
style_sample(49 "Morvenhal Duduri - full screen" --style 49 @${args}/banners.args)
style_sample(19 "Morvenhal Duduri - skins" @${args}/skins.args)

add_custom_target(style_samples ALL DEPENDS ${style_sample_files})
