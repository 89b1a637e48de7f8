// Page selectors inside a skin: which page a press shows, the tab frames
// while pressed and afterwards, and that pressing the current page's tab
// disturbs nothing else.
#include "controls/ZImg.h"
#include "controls/ZPageSel.h"
#include "controls/ZSwitch.h"
#include "support/ControlFixture.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

namespace {

using VRAX::ZFilter;

const unsigned char kTint[4] = {255, 255, 255, 96};

class PageSelTest : public ctl::ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        skin = std::make_unique<VRAX::ZEditorSkin>(effect.get());
        skin->width = 285;
        skin->height = 195;
        skin->pageCount = 2;
    }
    void TearDown() override {
        skin.reset();
        ControlTest::TearDown();
    }
    template <typename T, typename... Args>
    T* add(int page, int x, int y, int w, int h, Args... args) {
        VRAX::ControlPlacement p = place(x, y, w, h);
        p.page = page;
        p.skin = skin.get();
        T* control = new T(p, args...);
        skin->controls.add(control);
        return control;
    }
    // What a drawing pass does for the controls, without pixels.
    void drawingPass() {
        for (int i = 0; i < skin->controls.size(); ++i) {
            VRAX::ZEditorControl* control = skin->controls.get(i);
            if (skin->isVisible(control))
                control->paint(nullptr);
            else
                control->erase(nullptr);
        }
    }

    std::unique_ptr<VRAX::ZEditorSkin> skin;
    VRAX::ZImageResource threeFrames{"Tab.png", 50, 20, 3};
    VRAX::ZImageResource twoFrames{"Tab.png", 50, 20, 2};
};

TEST_F(PageSelTest, TabShowsHeldActiveAndIdleFrames) {
    auto* main = add<VRAX::ZImgPageSel>(0, 175, 0, 50, 20, &threeFrames, 1);
    auto* info = add<VRAX::ZImgPageSel>(0, 230, 0, 50, 20, &threeFrames, 2);
    EXPECT_EQ(main->cursorAt(1, 1), 2);
    EXPECT_EQ(main->frameIndex(), 1);
    EXPECT_EQ(info->frameIndex(), 0);

    ASSERT_TRUE(skin->leftDown(false, false, 240, 10));
    EXPECT_EQ(skin->getPage(), 2) << "the press switches the page";
    EXPECT_EQ(info->frameIndex(), 2);
    EXPECT_EQ(main->frameIndex(), 0);
    ASSERT_TRUE(skin->leftUp(false, false, 10, 150));  // released elsewhere: still the tab's
    EXPECT_EQ(info->frameIndex(), 1);
    EXPECT_EQ(main->frameIndex(), 0);
    EXPECT_EQ(skin->capturedControl, -1);
}

TEST_F(PageSelTest, PressingTheCurrentPagesTabChangesOnlyItsFrame) {
    auto* main = add<VRAX::ZImgPageSel>(0, 175, 0, 50, 20, &threeFrames, 1);
    auto* info = add<VRAX::ZImgPageSel>(0, 230, 0, 50, 20, &threeFrames, 2);
    VRAX::ZImageResource image("Switch.png", 20, 20, 2);
    auto* other = add<VRAX::ZImgSwitch>(1, 20, 100, 20, 20, ZFilter::kRes, &image);
    setValue(ZFilter::kRes, 0.4);
    drawingPass();
    ctl::hostCalls().clear();

    ASSERT_TRUE(skin->leftDown(false, false, 180, 5));
    EXPECT_EQ(skin->getPage(), 1);
    EXPECT_EQ(main->frameIndex(), 2);
    EXPECT_TRUE(main->needsRedraw());
    EXPECT_FALSE(info->needsRedraw());
    EXPECT_FALSE(other->needsRedraw());
    EXPECT_TRUE(other->drawn);
    drawingPass();
    ASSERT_TRUE(skin->leftUp(false, false, 180, 5));
    EXPECT_EQ(main->frameIndex(), 1);
    EXPECT_TRUE(main->needsRedraw());
    EXPECT_FALSE(other->needsRedraw());
    EXPECT_EQ(stored(ZFilter::kRes), 0.4);
    EXPECT_TRUE(ctl::hostCalls().empty());

    // With two frames there is no held look: the tab stays active.
    auto* plain = add<VRAX::ZImgPageSel>(0, 0, 170, 50, 20, &twoFrames, 1);
    plain->leftDown(false, false, 1, 1);
    EXPECT_EQ(plain->frameIndex(), 1);
    plain->leftUp(false, false, 1, 1);
}

TEST_F(PageSelTest, TabHiddenByItsOwnPressLosesItsHeldLook) {
    // A tab that exists only on page 1 and leads to page 2: its release
    // never reaches it, the skin cancels its gesture instead.
    auto* away = add<VRAX::ZImgPageSel>(1, 0, 0, 50, 20, &threeFrames, 2);
    ASSERT_TRUE(skin->leftDown(false, false, 10, 10));
    EXPECT_EQ(skin->getPage(), 2);
    skin->leftUp(false, false, 10, 10);
    EXPECT_FALSE(away->held);
    skin->setPage(1);
    EXPECT_EQ(away->frameIndex(), 0);
}

TEST_F(PageSelTest, HighlightSelectorRedrawsWhenHeldChanges) {
    auto* tab = add<VRAX::ZPageSelHlt>(0, 0, 0, 50, 20, 2, kTint);
    drawingPass();
    EXPECT_FALSE(tab->needsRedraw());
    tab->leftDown(false, false, 1, 1);
    EXPECT_EQ(skin->getPage(), 2);
    EXPECT_TRUE(tab->needsRedraw());
    drawingPass();
    EXPECT_TRUE(tab->lastHeld);
    EXPECT_FALSE(tab->needsRedraw());
    EXPECT_TRUE(tab->leftUp(false, false, 1, 1));
    EXPECT_TRUE(tab->needsRedraw());
    drawingPass();
    EXPECT_FALSE(tab->lastHeld);
    EXPECT_FALSE(tab->leftUp(false, false, 1, 1));
}

TEST_F(PageSelTest, PictureNeverAsksToBeDrawnAgain) {
    auto* picture = add<VRAX::ZImg>(0, 0, 0, 150, 55, &threeFrames);
    drawingPass();
    EXPECT_FALSE(picture->needsRedraw());
    skin->setPage(2);
    EXPECT_FALSE(picture->needsRedraw());
    EXPECT_FALSE(picture->leftDown(false, false, 1, 1));
}

}  // namespace
