// The menus' default drawing on the forged pictures and font: the item list in its balloon with
// the selected item lit, the rectangles each item registers for the next frame's hit test, and
// the widgets (slider, check boxes, arrows) with the hovered one's highlight.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>
#include <string>

#include "app/frame_clock.h"
#include "app/loader.h"
#include "app/resource_store.h"
#include "app/scene.h"
#include "platform/window.h"
#include "golden.h"
#include "menus/menus.h"
#include "progress/profiles.h"
#include "menu_pictures_support.h"

namespace {

class MenuDrawing : public render_test::MenuPicturesTest {
protected:
    void SetUp() override {
        MenuPicturesTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        setMenuFlows(MenuFlows{});  // the default drawing of every menu
        loadMenus();
        frameClock().frameMs = 16.0f;
    }
    void TearDown() override {
        resetMenuState();
        MenuPicturesTest::TearDown();
    }
    void open(const char* name) {
        openMenuByName(name);
        for (int i = 0; i < 30 && menuAnimating(); ++i) updateMenus();
        ASSERT_TRUE(currentMenuIs(name));
    }
    platform::Picture shot() {
        platform::Picture p;
        p.width = 800;
        p.height = 600;
        p.rgba = picture();
        return p;
    }
    static int brightness(const render_test::Rgba& c) { return c.r + c.g + c.b; }
};

TEST_F(MenuDrawing, ListRegistersARectPerItemWhereItsCaptionStands) {
    open("gameplay");
    menuState().selectedItem = 1;
    updateMenus();
    drawMenus();
    const MenuNode* m = currentMenu();
    ASSERT_EQ(menuState().itemRectCount, m->childCount);
    for (int i = 0; i < m->childCount; ++i) {
        const ItemRect& r = menuState().itemRects[i];
        // Rects stand one under the other, 36 apart at size 18, and hold their caption's pixels.
        if (i > 0) {
            EXPECT_FLOAT_EQ(menuState().itemRects[i - 1].bottom - r.bottom, 36.0f);
        }
        int lit = 0;
        for (float x = r.left; x < r.right; x += 2.0f)
            for (float y = r.bottom; y < r.top; y += 2.0f)
                if (brightness(at(static_cast<int>(400 + x), static_cast<int>(300 - y))) > 500) ++lit;
        EXPECT_GT(lit, 5) << m->children[i]->caption;
    }
    // The selected item is drawn in the highlight's orange, the others white.
    auto colourOf = [&](int item) {
        const ItemRect& r = menuState().itemRects[item];
        int warm = 0, white = 0;
        for (float x = r.left; x < r.right; x += 1.0f)
            for (float y = r.bottom; y < r.top; y += 1.0f) {
                render_test::Rgba c = at(static_cast<int>(400 + x), static_cast<int>(300 - y));
                if (c.r > 200 && c.g > 200 && c.b > 200) ++white;
                if (c.r > 200 && c.g > 100 && c.g < 215 && c.b < 90) ++warm;
            }
        return std::make_pair(warm, white);
    };
    auto lit = colourOf(1), plain = colourOf(2);
    EXPECT_GT(lit.first, 20);
    EXPECT_GT(lit.first, lit.second);
    EXPECT_GT(plain.second, 20);
    EXPECT_LT(plain.first, plain.second / 4);
}

TEST_F(MenuDrawing, WidgetsAndTheHoveredHighlight) {
    open("gameplay");
    menuState().selectedItem = 0;
    updateMenus();
    drawMenus();
    MenuWidget* slider = drawSlider(-80.0f, 80.0f, -150.0f, 100);
    slider->position = 25;
    drawCheckBox(-200.0f, -230.0f)->flag = true;
    drawCheckBox(-100.0f, -230.0f);
    drawArrow(150.0f, -230.0f, 50.0f, false);
    drawArrow(250.0f, -230.0f, 50.0f, true);
    // The next frame draws them with last frame's values, the slider hovered.
    clearTarget(0xFF000000u);
    menuState().hoveredWidget = 0;
    drawMenus();
    EXPECT_EQ(drawSlider(-80.0f, 80.0f, -150.0f, 100)->position, 25);
    EXPECT_TRUE(drawCheckBox(-200.0f, -230.0f)->flag);
    EXPECT_FALSE(drawCheckBox(-100.0f, -230.0f)->flag);
    drawArrow(150.0f, -230.0f, 50.0f, false);
    drawArrow(250.0f, -230.0f, 50.0f, true);
    drawWidgetHighlight();
    EXPECT_EQ(menuState().widgetCount, 5);
    EXPECT_TRUE(golden::matches(shot(), "menus_default_list_and_widgets"));
}

}  // namespace

namespace {

TEST_F(MenuDrawing, DrawnCursorFollowsTheSettingAndTheKind) {
    const uint8_t before = settings().customCursor;
    Scene* const scene = currentScene();
    setCurrentScene(mapScene());  // a scene that draws the cursor shows
    platform::warpCursor(400.0f, 300.0f);  // logical (0, 0)
    auto litNearTip = [&]() {
        int lit = 0;
        for (int y = 300; y < 340; ++y)
            for (int x = 400; x < 420; ++x)
                if (brightness(at(x, y)) > 300) ++lit;
        return lit;
    };
    settings().customCursor = 0;
    drawCursor();
    picture();
    EXPECT_EQ(litNearTip(), 0);  // the system cursor shows instead
    settings().customCursor = 1;
    setSystemCursor(0);
    drawCursor();
    picture();
    const int arrow = litNearTip();
    EXPECT_GT(arrow, 100);  // the arrow's tip is the cursor point
    const std::vector<uint8_t> arrowPicture = pixels_;
    clearTarget(0xFF000000u);
    setSystemCursor(1);
    EXPECT_EQ(systemCursorKind(), 1);
    drawCursor();
    picture();
    EXPECT_GT(litNearTip(), 100);  // the hammer's head at the cursor point
    // The hammer is another picture than the arrow, in the same cell.
    int differing = 0;
    for (int y = 300; y < 364; ++y)
        for (int x = 402; x < 466; ++x) {
            const size_t i = (static_cast<size_t>(y) * 800 + x) * 4;
            if (std::abs(int(arrowPicture[i]) - int(pixels_[i])) + std::abs(int(arrowPicture[i + 1]) - int(pixels_[i + 1])) > 120)
                ++differing;
        }
    EXPECT_GT(differing, 300);
    // Only the loader's screens draw no cursor: there the system's stands in.
    setCurrentScene(loaderScene());
    applyCursorSetting();
    EXPECT_TRUE(platform::systemCursorShown());
    clearTarget(0xFF000000u);
    drawCursor();
    picture();
    EXPECT_EQ(litNearTip(), 0);
    setSystemCursor(0);
    settings().customCursor = before;
    setCurrentScene(scene);
    applyCursorSetting();
}

}  // namespace
