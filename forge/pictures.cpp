// Every picture of the data set, painted by the art_* painters; with --contact-sheet also one
// PNG beside Data/ that shows them all scaled down.
#include "art_parts.h"
#include "forge.h"

namespace forge {

void forgePictures(Context& ctx) {
    art::paintFigures(ctx);
    art::paintParticles(ctx);
    art::paintHud(ctx);
    art::paintMenus(ctx);
    art::paintTreasures(ctx);
    art::paintMap(ctx);
    art::paintBackdrops(ctx);
    art::writeContactSheet(ctx);
}

}  // namespace forge
