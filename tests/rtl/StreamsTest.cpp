#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "support/TempDir.h"
#include "support/RaisedMessage.h"

TEST(MemoryStream, GrowsOnWriteAndReadsBack) {
    TMemoryStream stream;
    for (int i = 0; i < 10000; ++i) stream.WriteBuffer(&i, sizeof i);
    EXPECT_EQ(stream.Size(), 40000);
    EXPECT_EQ(stream.Position(), 40000);
    int32_t probe = 0;
    std::memcpy(&probe, stream.Memory() + 4 * 9876, 4);
    EXPECT_EQ(probe, 9876);
    stream.SetPosition(4 * 5);
    stream.ReadBuffer(&probe, 4);
    EXPECT_EQ(probe, 5);
}

TEST(MemoryStream, WritePastTheEndZeroFillsTheGap) {
    TMemoryStream stream;
    stream.WriteBuffer("abcd", 4);
    stream.SetSize(1);  // the "bcd" bytes must not reappear
    stream.Seek(3, soEnd);
    stream.WriteBuffer("z", 1);
    ASSERT_EQ(stream.Size(), 5);
    EXPECT_EQ(std::memcmp(stream.Memory(), "a\0\0\0z", 5), 0);
}

TEST(MemoryStream, PlainReadReturnsWhatThereIsSeeksFarAwayStayHarmless) {
    TMemoryStream stream("12345", 5);
    char buffer[8] = {};
    stream.SetPosition(3);
    EXPECT_EQ(stream.Read(buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "45");
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    stream.Seek(100, soBeginning);
    EXPECT_EQ(stream.Read(buffer, 1), 0);
    EXPECT_EQ(stream.Read(buffer, -1), 0);
    // Seeks far away stay harmless; a write past 2 GB is refused, nothing allocated.
    stream.SetPosition(0);
    EXPECT_EQ(stream.Seek(-10, soCurrent), 0);
    stream.Seek(INT64_MAX, soBeginning);
    stream.Seek(INT64_MAX, soCurrent);
    EXPECT_EQ(stream.Read(buffer, 1), 0);
    EXPECT_EQ(stream.Size(), 5);
    EXPECT_THROW(stream.WriteBuffer("x", 1), EOutOfMemory);
    EXPECT_EQ(stream.Size(), 5);
}

TEST(MemoryStream, ShortReadBufferFailsWithReadError) {
    TMemoryStream stream("123", 3);
    char buffer[8];
    EXPECT_EQ(MessageOf<EReadError>([&] { stream.ReadBuffer(buffer, 4); }), "ストリームからの読み込みエラー");
    TPointerStream view("xy", 2);
    EXPECT_THROW(view.ReadBuffer(buffer, 3), EReadError);
    EXPECT_THROW(view.WriteBuffer("a", 1), EWriteError);
}

TEST(FileStream, RoundTripThroughAFile) {
    TempDir dir;
    std::string path = dir.File("data.bin");
    {
        TFileStream out(path, fmCreate);
        out.WriteBuffer("hello, world", 12);
    }
    TFileStream in(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(in.Size(), 12);
    in.Seek(-5, soEnd);
    char buffer[16] = {};
    EXPECT_EQ(in.Read(buffer, 16), 5);
    EXPECT_EQ(std::string(buffer), "world");
    EXPECT_THROW(in.ReadBuffer(buffer, 1), EReadError);

    TMemoryStream copy;
    copy.LoadFromFile(path);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(copy.Memory()), 12), "hello, world");
}

TEST(FileStream, ShareDenyWriteKeepsWritersOutButLetsReadersInAMissingFileIsNamed) {
    TempDir dir;
    std::string path = dir.File("locked.bin");
    { TFileStream(path, fmCreate).WriteBuffer("x", 1); }
    TFileStream reader(path, fmOpenRead | fmShareDenyWrite);
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_NO_THROW(TFileStream(path, fmOpenRead | fmShareDenyWrite));

    // A missing file is named as given.
    const std::string missing = dir.File("写真\\missing.bmp");
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream stream(missing, fmOpenRead | fmShareDenyWrite); }),
              "ファイル " + missing + " は開けません");
    EXPECT_THROW(TFileStream(dir.File("no\\such\\dir\\x"), fmCreate), EFCreateError);
}
