// The menus' pictures and the font read from the forged packs, as the game reads them, on the
// offscreen device; the working folder is the data set's for the length of a test.
#pragma once

#include <filesystem>

#include "app/resource_store.h"
#include "menus/panel.h"
#include "render_support.h"

namespace render_test {

class MenuPicturesTest : public RenderTest {
protected:
    void SetUp() override {
        REQUIRE_DATA_SET("jpeg.dat");
        RenderTest::SetUp();
        setTextureFileSource(nullptr);  // the pictures come from the packs, as in the game
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(SANDMERE_DATA_DIR);
        resetResourceStore();
        openPack("targa.dat");
        openPack("jpeg.dat");
        openPack("texts.dat");
        resetMenuPictures();
        loadMenuPictures();
        loadFont("font", 1.0f, 1.0f);
        selectFont(0);
    }
    void TearDown() override {
        if (previous_.empty()) return;
        releaseFonts();
        resetMenuPictures();
        releaseAllTextures();
        resetResourceStore();
        std::filesystem::current_path(previous_);
        RenderTest::TearDown();
    }

private:
    std::filesystem::path previous_;
};

}  // namespace render_test
