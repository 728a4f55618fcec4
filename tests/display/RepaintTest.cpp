// Repaint requests of the image area: one per change outside painting, none while it
// paints, none for writes that change nothing; the erase rule for covered controls.
#include <gtest/gtest.h>
#include <map>
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Form.h"
#include "graphics/Bitmap.h"
#include "tests/display/DibSurface.h"
#include "tests/display/SolidGraphic.h"

namespace {

class RepaintTest : public testing::Test {
protected:
    void SetUp() override {
        form_.SetBounds(50, 50, 300, 250);
        form_.Handle();  // a window (not shown) to invalidate
        label_.SetParent(&form_);
        label_.SetAutoSize(false);
        label_.SetBounds(16, 16, 160, 120);
        image_.SetParent(&form_);
        image_.SetBounds(16, 16, 160, 120);
        image_.SetCenter(true);
        image_.SetProportional(true);
        form_.OnRepaintRequest = [this](TControl* c, bool erase) {
            ++requests_[c];
            lastErase_ = erase;
        };
    }
    int Requests(TControl* c) { return requests_[c]; }

    TForm form_;
    TLabel label_;
    TImage image_;
    std::map<TControl*, int> requests_;
    bool lastErase_ = true;
};

}  // namespace

TEST_F(RepaintTest, PropertyWritesRepaintOnlyOnChange) {
    image_.SetCenter(true);
    image_.SetProportional(true);
    image_.SetStretch(false);
    image_.SetTransparent(false);
    EXPECT_EQ(Requests(&image_), 0);
    image_.SetCenter(false);
    EXPECT_EQ(Requests(&image_), 1);
    image_.SetStretch(true);
    EXPECT_EQ(Requests(&image_), 2);
    EXPECT_EQ(Requests(&label_), 0);
}

TEST_F(RepaintTest, EachNewGraphicRequestsOneRepaint) {
    TBitmap empty;
    image_.Picture().SetGraphic(&empty);
    EXPECT_EQ(Requests(&image_), 1);
    image_.Picture().SetGraphic(nullptr);
    EXPECT_EQ(Requests(&image_), 2);
}

TEST_F(RepaintTest, AChangeWhileThePictureDrawsRequestsNoRepaint) {
    TSolidGraphic lazy(50, 40);
    lazy.changesWhileDrawing = true;
    image_.Picture().SetGraphic(&lazy);
    requests_.clear();
    DibSurface screen(300, 250, RGB(0, 0, 0));
    form_.PaintControls(screen.dc(), screen.All());
    auto* drawn = static_cast<TSolidGraphic*>(image_.Picture().Graphic());
    EXPECT_EQ(drawn->draws, 1);
    EXPECT_EQ(Requests(&image_), 0);
    EXPECT_FALSE(image_.InPaint());
    // The same change outside painting asks for a repaint.
    drawn->NotifyChanged(drawn);
    EXPECT_EQ(Requests(&image_), 1);
}

TEST_F(RepaintTest, OpaqueOnlyWhileThePictureFillsTheControl) {
    TSolidGraphic fourByThree(640, 480), wide(300, 100);
    image_.Picture().SetGraphic(&fourByThree);
    EXPECT_TRUE(image_.ControlStyle & csOpaque);
    image_.Picture().SetGraphic(&wide);
    EXPECT_FALSE(image_.ControlStyle & csOpaque);
    image_.Picture().SetGraphic(&fourByThree);
    image_.SetTransparent(true);  // a transparent graphic never covers
    EXPECT_FALSE(image_.ControlStyle & csOpaque);
    image_.Picture().SetGraphic(nullptr);
    EXPECT_FALSE(image_.ControlStyle & csOpaque);
}

TEST_F(RepaintTest, BackgroundIsErasedOnlyWhenNothingOpaqueCoversTheControl) {
    // The opaque label under the image covers it: no erase.
    EXPECT_FALSE(form_.EraseNeededFor(&image_));
    image_.SetCenter(false);
    EXPECT_FALSE(lastErase_);
    // A transparent label covers nothing.
    label_.SetTransparent(true);
    EXPECT_TRUE(form_.EraseNeededFor(&image_));
    EXPECT_TRUE(form_.EraseNeededFor(&label_));
    // An opaque image needs no erase of its own.
    TSolidGraphic fourByThree(640, 480);
    image_.Picture().SetGraphic(&fourByThree);
    EXPECT_FALSE(form_.EraseNeededFor(&image_));
    // A label that is smaller than the image does not cover it.
    image_.Picture().SetGraphic(nullptr);
    label_.SetTransparent(false);
    label_.SetBounds(16, 16, 159, 120);
    EXPECT_TRUE(form_.EraseNeededFor(&image_));
}

TEST_F(RepaintTest, InvalidatedAreaIsTheControlsBounds) {
    ShowWindow(form_.WindowHandle(), SW_SHOWNOACTIVATE);  // hidden windows keep no update region
    ValidateRect(form_.WindowHandle(), nullptr);
    image_.SetCenter(false);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(form_.WindowHandle(), &update, FALSE));
    EXPECT_EQ(update.left, 16);
    EXPECT_EQ(update.top, 16);
    EXPECT_EQ(update.right, 176);
    EXPECT_EQ(update.bottom, 136);
}
