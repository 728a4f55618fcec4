#include <gtest/gtest.h>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/FileFormats.h"
#include "graphics/icon/Icon.h"
#include "graphics/metafile/Metafile.h"
#include "graphics/Picture.h"
#include "graphics/jpeg/JPEGImage.h"
#include "support/TestGraphic.h"

namespace {
const char* const kStartupFilter =
    "すべてのファイル (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
    "JPEG イメージファイル (*.jpg)|*.jpg|JPEG イメージファイル (*.jpeg)|*.jpeg|ビットマップ (*.bmp)|*.bmp|"
    "アイコン (*.ico)|*.ico|エンハンス メタファイル (*.emf)|*.emf|メタファイル (*.wmf)|*.wmf";
}  // namespace

TEST(FileFormats, RegistryAfterStartUp) {
    const auto& entries = GlobalFileFormats().Entries();
    ASSERT_EQ(entries.size(), 6u);
    const char* extensions[] = {"wmf", "emf", "ico", "bmp", "jpeg", "jpg"};
    GraphicClass classes[] = {&TMetafile::ClassInfo, &TMetafile::ClassInfo, &TIcon::ClassInfo,
                              &TBitmap::ClassInfo,   &TJPEGImage::ClassInfo, &TJPEGImage::ClassInfo};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(entries[i].Extension, extensions[i]);
        EXPECT_EQ(entries[i].GraphicClass_, classes[i]);
        EXPECT_EQ(entries[i].DescriptionId, 0);
    }
    std::string filter, masks;
    GlobalFileFormats().BuildFileFilter(&TGraphic::ClassInfo, filter, masks);
    EXPECT_EQ(filter, kStartupFilter);
    EXPECT_EQ(masks, "*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf");
    EXPECT_EQ(GraphicFilter(&TGraphic::ClassInfo), kStartupFilter);
}

TEST(FileFormats, FilterForOneClassOrNone) {
    EXPECT_EQ(GraphicFilter(&TBitmap::ClassInfo), "ビットマップ (*.bmp)|*.bmp");
    EXPECT_EQ(GraphicFilter(&TMetafile::ClassInfo),
              "すべてのファイル (*.emf;*.wmf)|*.emf;*.wmf|エンハンス メタファイル (*.emf)|*.emf|メタファイル (*.wmf)|*.wmf");
    EXPECT_EQ(GraphicFilter(&TTestGraphic::ClassInfo), "");
}

TEST(FileFormats, LookupIsCaseBlindTheLastRegistrationWinsAndRemovalTakesDerivedClasses) {
    TFileFormatsList list;
    EXPECT_EQ(list.FindFormatByExtension("BMP"), &TBitmap::ClassInfo);
    EXPECT_EQ(list.FindFormatByExtension("Ico"), &TIcon::ClassInfo);
    EXPECT_EQ(list.FindFormatByExtension(""), nullptr);
    EXPECT_EQ(list.FindFormatByExtension(".bmp"), nullptr);

    list.AddFormat("BMP", "テスト", &TTestGraphic::ClassInfo, 0);
    EXPECT_EQ(list.Entries().back().Extension, "bmp");  // stored lower-cased
    EXPECT_EQ(list.FindFormatByExtension("bmp"), &TTestGraphic::ClassInfo);
    std::string filter, masks;
    list.BuildFileFilter(&TGraphic::ClassInfo, filter, masks);
    EXPECT_EQ(masks, "*.bmp;*.bmp;*.ico;*.emf;*.wmf");  // duplicates are kept
    EXPECT_EQ(filter,
              "すべてのファイル (*.bmp;*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.bmp;*.ico;*.emf;*.wmf|"
              "テスト (*.bmp)|*.bmp|ビットマップ (*.bmp)|*.bmp|アイコン (*.ico)|*.ico|"
              "エンハンス メタファイル (*.emf)|*.emf|メタファイル (*.wmf)|*.wmf");

    list.RemoveFormatClass(&TTestGraphic::ClassInfo);
    EXPECT_EQ(list.FindFormatByExtension("bmp"), &TBitmap::ClassInfo);

    // Removal takes derived classes along.
    list.AddFormat("tst", "a", &TTestGraphic::ClassInfo, 0);
    list.AddFormat("dtst", "b", &TDerivedTestGraphic::ClassInfo, 0);
    list.AddFormat("tst2", "c", &TTestGraphic::ClassInfo, 0);
    EXPECT_EQ(list.FindFormatByClassName("TDerivedTestGraphic"), &TDerivedTestGraphic::ClassInfo);
    EXPECT_EQ(list.FindFormatByClassName("tdERIVEDtESTgRAPHIC"), nullptr);  // exact, byte for byte
    list.RemoveFormatClass(&TDerivedTestGraphic::ClassInfo);
    EXPECT_EQ(list.Entries().size(), 6u);  // only the derived class's entry went
    list.RemoveFormatClass(&TTestGraphic::ClassInfo);
    EXPECT_EQ(list.Entries().size(), 4u);
    list.RemoveFormatClass(&TGraphic::ClassInfo);
    EXPECT_TRUE(list.Entries().empty());
}

TEST(FileFormats, ClipboardFormats) {
    TClipboardFormats formats;
    ASSERT_EQ(formats.Count(), 3u);
    const std::pair<UINT, GraphicClass> expected[] = {
        {CF_METAFILEPICT, &TMetafile::ClassInfo}, {CF_ENHMETAFILE, &TMetafile::ClassInfo}, {CF_BITMAP, &TBitmap::ClassInfo}};
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(std::make_pair(UINT(formats.FormatAt(i)), formats.ClassAt(i)), expected[i]) << i;
    formats.RemoveFormatClass(&TMetafile::ClassInfo);
    ASSERT_EQ(formats.Count(), 1u);
    EXPECT_EQ(formats.FormatAt(0), CF_BITMAP);
}

TEST(FileFormats, JPEGModuleShutDownRemovesOnlyItsEntries) {
    TPicture::UnregisterGraphicClass(&TJPEGImage::ClassInfo);
    EXPECT_EQ(GlobalFileFormats().Entries().size(), 4u);
    EXPECT_EQ(GlobalFileFormats().FindFormatByExtension("jpg"), nullptr);
    EXPECT_EQ(GlobalClipboardFormats().Count(), 3u);
    // Put the program's state back for the other tests.
    TPicture::RegisterFileFormat("jpeg", "JPEG イメージファイル", &TJPEGImage::ClassInfo);
    TPicture::RegisterFileFormat("jpg", "JPEG イメージファイル", &TJPEGImage::ClassInfo);
    EXPECT_EQ(GraphicFilter(&TGraphic::ClassInfo), kStartupFilter);
}

TEST(ExtractPictureExtension, EdgeCasesAndDoubleByteCharactersAlsoInLowerCase) {
    // "ソ" is 0x83 0x5C and "表" is 0x95 0x5C in Shift-JIS: their second byte is "\", no separator.
    ASSERT_EQ(std::string("ソ"), "\x83\x5C");
    ASSERT_EQ(std::string("表"), "\x95\x5C");
    const std::pair<const char*, const char*> cases[] = {
        {"photo.png", "png"}, {"PHOTO.JPG", "JPG"}, {"holiday.Jpeg", "Jpeg"}, {"C:\\photos.2001\\picture", ""},
        {"picture.", ""}, {"archive.tar.bmp", "bmp"}, {"C:picture", ""}, {"", ""},
        {"C:\\写真\\ソ.bmp", "bmp"}, {"C:\\d\\a.bソ", "bソ"}, {"C:\\d\\表.ソ", "ソ"},
        {"x.jpg\\表", ""},  // a real "\" after the dot
    };
    for (const auto& [name, extension] : cases) EXPECT_EQ(ExtractPictureExtension(name), extension) << name;

    // Lower case leaves double-byte characters alone.
    EXPECT_EQ(AnsiLowerCase("PHOTO.JPG"), "photo.jpg");
    // The second byte of "ソ" (0x5C) and of "ア" (0x41 = "A") must not be touched.
    EXPECT_EQ(AnsiLowerCase("Aア"), "a" + std::string("ア"));
    EXPECT_EQ(std::string("ア").size(), 2u);
    EXPECT_EQ(GlobalFileFormats().FindFormatByExtension("BMP"), &TBitmap::ClassInfo);
}
