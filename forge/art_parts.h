// The picture painters of the forge, one per family of pictures.
#pragma once

#include "art_canvas.h"
#include "forge.h"

namespace forge::art {

void paintFigures(Context& ctx);    // figures/, field/, zep2, bonus1/2, heart
void paintHud(Context& ctx);        // HUD strip, candle, hammer meter, glows, transition
void paintMenus(Context& ctx);      // menu atlas, panels, button, splash and loading pictures
void paintParticles(Context& ctx);  // exploanim.tga
void paintBackdrops(Context& ctx);  // AnimBacks pictures
void paintMap(Context& ctx);        // journey map, its frame and icons
void paintTreasures(Context& ctx);  // artefacts, covers, stage icons, trophies

// One figure kind (0 aqua drop .. 7 yellow circle) at rest, size x size pixels.
Image figureIcon(int kind, int size);
// The program's icon for desktop menus, size x size pixels.
Image desktopIcon(int size);
// One animation frame (0..31) of a figure kind into a 64 x 64 cell at (ox, oy).
void paintFigureFrame(Image& im, int ox, int oy, int kind, int frame);

// Backdrop `index` as the game shows it at rest (objects behind, picture, objects in front), opaque.
Image landscapeScene(int index);

// The 15 stage artefacts, 256 x 256 with alpha (the stage icons are scaled from them).
Image artefactPicture(int stage);

}  // namespace forge::art
