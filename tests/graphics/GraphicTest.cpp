#include <gtest/gtest.h>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/Canvas.h"
#include "graphics/icon/Icon.h"
#include "graphics/jpeg/JPEGImage.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "support/TempDir.h"
#include "support/TestGraphic.h"
#include "support/RaisedMessage.h"

TEST(Graphic, NewGraphicsAreEmptyAndClean) {
    // A new metafile is neither empty nor opaque: MetafileTest covers it.
    GraphicClass classes[] = {&TBitmap::ClassInfo, &TIcon::ClassInfo, &TJPEGImage::ClassInfo};
    for (GraphicClass c : classes) {
        std::unique_ptr<TGraphic> graphic(c->create());
        EXPECT_STREQ(graphic->ClassName(), c->name);
        EXPECT_TRUE(c->InheritsFrom(&TGraphic::ClassInfo));
        EXPECT_FALSE(TGraphic::ClassInfo.InheritsFrom(c));
        EXPECT_TRUE(graphic->IsEmpty());
        EXPECT_FALSE(graphic->Dirty);
        // Icons carry their own mask, so they are transparent from the start.
        EXPECT_EQ(graphic->Transparent(), c == &TIcon::ClassInfo);
        EXPECT_FALSE(graphic->PaletteDirty);
        EXPECT_EQ(graphic->Palette(), nullptr);
    }
}

TEST(Graphic, NotifyChangedSetsDirtyAndCallsOnChangeWithItself) {
    TTestGraphic graphic;
    graphic.NotifyChanged(nullptr);  // no handler: goes nowhere
    EXPECT_TRUE(graphic.Dirty);
    TObject* seen = nullptr;
    int calls = 0;
    graphic.OnChange = [&](TObject* sender) {
        seen = sender;
        ++calls;
    };
    graphic.SetTransparent(true);
    graphic.SetTransparent(true);  // same value: nothing
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, &graphic);
    EXPECT_TRUE(graphic.Transparent());
    graphic.SetTransparent(false);
    EXPECT_EQ(calls, 2);
}

TEST(Graphic, IsSameImageAndStoredDataWanted) {
    TBitmap emptyBitmap;
    TIcon emptyIcon;
    TTestGraphic a, b, c;
    TDerivedTestGraphic d;
    EXPECT_TRUE(emptyBitmap.IsSameImage(&emptyIcon));  // both empty, classes differ
    a.content = b.content = d.content = "same";
    c.content = "else";
    EXPECT_FALSE(emptyBitmap.IsSameImage(&a));
    EXPECT_FALSE(a.IsSameImage(&emptyBitmap));
    EXPECT_TRUE(a.IsSameImage(&b));
    EXPECT_FALSE(a.IsSameImage(&c));
    EXPECT_FALSE(a.IsSameImage(&d));  // same bytes, other class
    EXPECT_FALSE(a.IsSameImage(nullptr));

    // Stored data is wanted when there is some, unless the ancestor holds the same image.
    TTestGraphic graphic, ancestor;
    EXPECT_FALSE(graphic.StoredDataWanted(nullptr));
    graphic.content = "x";
    EXPECT_TRUE(graphic.StoredDataWanted(nullptr));
    ancestor.content = "x";
    EXPECT_FALSE(graphic.StoredDataWanted(&ancestor));
    ancestor.content = "y";
    EXPECT_TRUE(graphic.StoredDataWanted(&ancestor));
    TCanvas notAGraphic;
    EXPECT_TRUE(graphic.StoredDataWanted(&notAGraphic));
}

TEST(Graphic, CopyErrorsNameBothClassesAndFilesRoundTrip) {
    TTestGraphic graphic;
    TBitmap bitmap;
    EXPECT_EQ(MessageOf<EConvertError>([&] { graphic.CopyFrom(nullptr); }), "nil を TTestGraphic に代入することはできません");
    EXPECT_EQ(MessageOf<EConvertError>([&] { bitmap.CopyFrom(&graphic); }), "TTestGraphic を TBitmap に代入することはできません");

    TempDir dir;
    graphic.content = "file bytes";
    std::string path = dir.File("g.tgr");
    graphic.WriteToFile(path);
    TTestGraphic back;
    back.ReadFromFile(path);
    EXPECT_EQ(back.content, "file bytes");
    EXPECT_THROW(back.ReadFromFile(dir.File("none.tgr")), EFOpenError);
}
