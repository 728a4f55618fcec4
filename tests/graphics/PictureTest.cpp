#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/Canvas.h"
#include "graphics/FileFormats.h"
#include "graphics/Picture.h"
#include "graphics/jpeg/JPEGImage.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "support/TempDir.h"
#include "support/TestGraphic.h"
#include "support/RaisedMessage.h"

namespace {

// The test format lives in the real registry under "tgr" while a test runs.
class PictureTest : public testing::Test {
protected:
    void SetUp() override {
        TPicture::RegisterFileFormat("tgr", "テスト", &TTestGraphic::ClassInfo);
        liveAtStart = TTestGraphic::liveCount;
        picture.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &picture);
            events.push_back("change");
        };
    }
    void TearDown() override { TPicture::UnregisterGraphicClass(&TTestGraphic::ClassInfo); }

    TTestGraphic* Held() { return dynamic_cast<TTestGraphic*>(picture.Graphic()); }

    TempDir dir;
    TPicture picture;
    std::vector<std::string> events;
    int liveAtStart = 0;
};

struct RecordingNotifier : IChangeNotifier {
    explicit RecordingNotifier(std::vector<std::string>& log) : log(log) {}
    void Changed() override { log.push_back("notifier"); }
    std::vector<std::string>& log;
};

}  // namespace

TEST_F(PictureTest, LoadInstallsTheGraphicAndNotifiesOnceAfterwards) {
    RecordingNotifier notifier(events);
    picture.Notifier = &notifier;
    std::vector<std::pair<TObject*, TProgressStage>> progress;
    picture.OnProgress = [&](TObject* sender, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
        progress.emplace_back(sender, stage);
        EXPECT_TRUE(events.empty());  // reported while reading, before the change
    };
    picture.LoadPictureFile(dir.Write("pic.tgr", "abc"));
    ASSERT_NE(Held(), nullptr);
    EXPECT_EQ(Held()->content, "abc");
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"change", "notifier"}));
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[0].first, picture.Graphic());
    EXPECT_EQ(progress[0].second, TProgressStage::psStarting);
    EXPECT_EQ(progress[1].second, TProgressStage::psEnding);

    // From now on the graphic's own changes reach the owner.
    events.clear();
    picture.Graphic()->SetWidth(5);
    EXPECT_EQ(events, (std::vector<std::string>{"change", "notifier"}));
    EXPECT_EQ(picture.Width(), 5);
    picture.Notifier = nullptr;
}

TEST_F(PictureTest, ExtensionIsMatchedWithoutRegardToCase) {
    picture.LoadPictureFile(dir.Write("PIC.TGR", "x"));
    EXPECT_NE(Held(), nullptr);
    picture.LoadPictureFile(dir.Write("archive.tar.Tgr", "y"));
    EXPECT_EQ(Held()->content, "y");
    for (auto [name, graphicClass] : {std::pair{"PHOTO.JPG", &TJPEGImage::ClassInfo}, {"holiday.Jpeg", &TJPEGImage::ClassInfo},
                                      {"scan.BMP", &TBitmap::ClassInfo}})
        EXPECT_EQ(GlobalFileFormats().FindFormatByExtension(ExtractPictureExtension(name)), graphicClass) << name;
}

TEST_F(PictureTest, ShiftJISNameWithBackslashSecondByteLoads) {
    // "ソ" and "表" end in the byte "\": the name must still be found and read.
    std::string path = dir.File("ソ表.tgr");
    HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "this system cannot create a file with a Japanese name (error " << GetLastError()
                     << "; under Wine the host needs the ja_JP.UTF-8 locale)";
    CloseHandle(probe);
    dir.Write("ソ表.tgr", "sjis");
    picture.LoadPictureFile(path);
    ASSERT_NE(Held(), nullptr);
    EXPECT_EQ(Held()->content, "sjis");
}

TEST_F(PictureTest, RefusedLoadsKeepTheOldGraphicAndTouchNothing) {
    picture.LoadPictureFile(dir.Write("keep.tgr", "old"));
    TGraphic* before = picture.Graphic();
    events.clear();
    const std::string missing = dir.File("missing.tgr"), bad = dir.Write("bad.tgr", "BAD data");
    const struct { std::string file, error; } rows[] = {
        // An unknown extension is named with its case kept.
        {dir.Write("photo.png", ""), "EInvalidGraphic: 拡張子 .png の画像形式は処理できません"},
        {"picture.PNG", "EInvalidGraphic: 拡張子 .PNG の画像形式は処理できません"},
        {"C:\\photos.2001\\picture", "EInvalidGraphic: 拡張子 . の画像形式は処理できません"},
        {"picture.", "EInvalidGraphic: 拡張子 . の画像形式は処理できません"},
        {missing, "EFOpenError: ファイル " + missing + " は開けません"},
        // A failing read destroys the new graphic and closes the file.
        {bad, "EInvalidGraphic: test format: bad data"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        EXPECT_EQ(Raised([&] { picture.LoadPictureFile(row.file); }), row.error);
        EXPECT_EQ(picture.Graphic(), before);
        EXPECT_EQ(Held()->content, "old");
        EXPECT_EQ(TTestGraphic::liveCount, liveAtStart + 1) << "only the kept graphic lives";
    }
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(DeleteFileA(bad.c_str())) << "the file was left open";
}

// Replacing destroys the old graphic, unless it is held: then it outlives its replacement
// but no longer reports to the container.
TEST_F(PictureTest, ReplacingDestroysTheOldGraphicUnlessItIsHeld) {
    picture.LoadPictureFile(dir.Write("a.tgr", "a"));
    picture.LoadPictureFile(dir.Write("b.tgr", "b"));
    EXPECT_EQ(TTestGraphic::liveCount, liveAtStart + 1);
    EXPECT_EQ(events.size(), 2u);
    picture.SetGraphic(nullptr);
    EXPECT_EQ(TTestGraphic::liveCount, liveAtStart);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_EQ(events.size(), 3u);

    picture.LoadPictureFile(dir.Write("a.tgr", "a"));
    std::shared_ptr<TGraphic> held = picture.HoldGraphic();
    picture.SetGraphic(nullptr);
    events.clear();
    ASSERT_EQ(TTestGraphic::liveCount, liveAtStart + 1);
    held->SetWidth(2);  // a drawing that changes the graphic after it was replaced
    EXPECT_TRUE(events.empty());
    held.reset();
    EXPECT_EQ(TTestGraphic::liveCount, liveAtStart);
}

// AsBitmap replaces other graphics, once; a graphic written in is installed as an own copy.
TEST_F(PictureTest, AsBitmapAndGraphicWriteInstallOwnGraphics) {
    TBitmap* bitmap = picture.AsBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(picture.Graphic(), bitmap);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(picture.AsBitmap(), bitmap);
    EXPECT_EQ(events.size(), 1u);
    bitmap->SetWidth(3);  // the installed bitmap reports to the container
    EXPECT_EQ(events.size(), 2u);
    picture.LoadPictureFile(dir.Write("a.tgr", "a"));
    EXPECT_NE(picture.AsBitmap(), nullptr);
    EXPECT_EQ(TTestGraphic::liveCount, liveAtStart);
    events.clear();

    // What the Clear button does: one empty bitmap given to four containers.
    TBitmap empty;
    TPicture slots[4];
    int notifications[4] = {};
    for (int i = 0; i < 4; ++i) {
        slots[i].OnChange = [&notifications, i](TObject*) { ++notifications[i]; };
        slots[i].SetGraphic(&empty);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(slots[i].Graphic(), &empty);
        EXPECT_NE(dynamic_cast<TBitmap*>(slots[i].Graphic()), nullptr);
        EXPECT_EQ(slots[i].Width(), 0);
        EXPECT_EQ(notifications[i], 1);
    }
    EXPECT_NE(slots[0].Graphic(), slots[1].Graphic());

    TTestGraphic mine;
    mine.content = "mine";
    picture.SetGraphic(&mine);
    EXPECT_EQ(events.size(), 1u);  // the copy's own change during CopyFrom is not reported
    EXPECT_NE(Held(), &mine);
    EXPECT_EQ(Held()->content, "mine");
    mine.content = "changed";
    EXPECT_EQ(Held()->content, "mine");
}

TEST_F(PictureTest, CopyFromAndCopyTo) {
    TPicture empty;
    picture.LoadPictureFile(dir.Write("a.tgr", "a"));
    events.clear();
    picture.CopyFrom(&empty);  // a container with no graphic: none here too, one notification
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(events.size(), 1u);

    TPicture source;
    source.LoadPictureFile(dir.Write("b.tgr", "bb"));
    picture.CopyFrom(&source);
    EXPECT_EQ(Held()->content, "bb");
    EXPECT_NE(picture.Graphic(), source.Graphic());
    picture.CopyFrom(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(events.size(), 3u);

    TTestGraphic target;
    source.CopyTo(&target);
    EXPECT_EQ(target.content, "bb");
    TBitmap bitmap;
    EXPECT_EQ(MessageOf<EConvertError>([&] { source.CopyTo(&bitmap); }), "TPicture を TBitmap に代入することはできません") << "copied";
    EXPECT_THROW(empty.CopyTo(&target), EConvertError);

    // A failed copy leaves the container as it was.
    TCanvas notACopySource;
    events.clear();
    EXPECT_THROW(source.CopyFrom(&notACopySource), EConvertError);
    EXPECT_NE(source.Graphic(), nullptr);
    EXPECT_TRUE(events.empty());
}

TEST_F(PictureTest, StoredDataRoundTripUnknownClassOrBadBytes) {
    picture.LoadPictureFile(dir.Write("a.tgr", "hello"));
    EXPECT_TRUE(picture.StoredDataWanted(nullptr));
    TMemoryStream stored;
    picture.WriteStoredData(stored);
    ASSERT_EQ(stored.Size(), 1 + 12 + 5);
    EXPECT_EQ(stored.Memory()[0], 12);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored.Memory()) + 1, 17), "TTestGraphichello");

    TPicture copy;
    int copyEvents = 0;
    copy.OnChange = [&](TObject*) { ++copyEvents; };
    EXPECT_FALSE(copy.StoredDataWanted(nullptr));
    stored.SetPosition(0);
    copy.ReadStoredData(stored);
    auto* read = dynamic_cast<TTestGraphic*>(copy.Graphic());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->content, "hello");
    EXPECT_EQ(copyEvents, 1);
    EXPECT_FALSE(picture.StoredDataWanted(&copy));  // same image
    read->SetWidth(2);
    EXPECT_EQ(copyEvents, 2);
    EXPECT_TRUE(picture.StoredDataWanted(&copy));
    TBitmap notAContainer;
    EXPECT_TRUE(picture.StoredDataWanted(&notAContainer));

    // No graphic: a zero length byte; reading that back leaves no graphic.
    TPicture none;
    TMemoryStream nothing;
    none.WriteStoredData(nothing);
    EXPECT_EQ(nothing.Size(), 1);
    nothing.SetPosition(0);
    copy.ReadStoredData(nothing);
    EXPECT_EQ(copy.Graphic(), nullptr);
    EXPECT_EQ(copyEvents, 3);

    // An unknown class leaves no graphic; bad or cut bytes leave the old one.
    TMemoryStream unknown("\x07TNoSuch", 8);
    picture.LoadPictureFile(dir.Write("a.tgr", "a"));
    events.clear();
    picture.ReadStoredData(unknown);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(events.size(), 1u);

    picture.LoadPictureFile(dir.Write("b.tgr", "b"));
    TGraphic* before = picture.Graphic();
    events.clear();
    TMemoryStream bad("\x0CTTestGraphicBAD", 16);
    EXPECT_THROW(picture.ReadStoredData(bad), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_TRUE(events.empty());

    TMemoryStream truncated("\x0CTTest", 6);
    EXPECT_THROW(picture.ReadStoredData(truncated), EReadError);
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_EQ(TTestGraphic::liveCount, liveAtStart + 1);
}
