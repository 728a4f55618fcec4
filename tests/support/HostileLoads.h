// How the picture tests read a file's bytes into a graphic, and their hostile-corpus loop: every file read into a fresh graphic (that
// first holds `first` when given) ends as a picture, "refused" with the format's message
// (`refusal`: "class: message", followed by nothing but the library's number where it has
// one) or a "read error", as `expected(file)` says ("" when any of them will do). Each file
// is then handed to `after(graphic, file, ending)`, to draw what loaded and see what the
// refusal kept; no GDI object may be left behind. Prints and answers how many ended how.
#pragma once
#include <gtest/gtest.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>
#include "graphics/Graphic.h"
#include "rtl/Streams.h"
#include "support/GdiCounter.h"
#include "support/RaisedMessage.h"
#include "support/SampleBytes.h"

inline void LoadBytes(TGraphic& graphic, const samplebytes::Bytes& bytes) {
    TMemoryStream stream(bytes.data(), bytes.size());
    graphic.ReadFromStream(stream);
}

template <class Graphic, class File, class Expected, class After>
std::map<std::string, int> LoadEveryFile(const std::vector<File>& files, const std::string& refusal, Expected expected,
                                         After after, const samplebytes::Bytes& first = {}) {
    const int before = LiveGdiObjects();
    std::map<std::string, int> endings;
    for (const File& file : files) {
        SCOPED_TRACE(file.name);
        Graphic graphic;
        if (!first.empty()) LoadBytes(graphic, first);
        std::string ending = Raised([&] { LoadBytes(graphic, file.bytes); });
        if (ending.empty()) ending = "picture";
        else if (ending.rfind(refusal, 0) == 0 && ending.find_first_not_of("0123456789", refusal.size()) == std::string::npos)
            ending = "refused";
        else if (ending == "EReadError: ストリームからの読み込みエラー") ending = "read error";
        ++endings[ending];
        const std::string wanted = expected(file);
        if (!wanted.empty()) EXPECT_EQ(ending, wanted);
        else EXPECT_TRUE(ending == "picture" || ending == "refused" || ending == "read error") << ending;
        after(graphic, file, ending);
    }
    EXPECT_EQ(LiveGdiObjects(), before) << "GDI objects left behind";
    std::printf("%zu hostile files:", files.size());
    for (const auto& [ending, count] : endings) std::printf(" %d %s;", count, ending.c_str());
    std::printf("\n");
    return endings;
}
