// Message texts live in the program's string table (resources/strings.rc) under these
// numbers; LoadResString returns them in the ANSI code page.
#pragma once
#include <string>

namespace res {
// Picture formats and the open dialog's filter.
constexpr int SVMetafiles = 65389;          // "メタファイル"
constexpr int SVEnhMetafiles = 65390;       // "エンハンス メタファイル"
constexpr int SVIcons = 65391;              // "アイコン"
constexpr int SVBitmaps = 65360;            // "ビットマップ"
constexpr int SJPEGImageFile = 65317;       // "JPEG イメージファイル"
constexpr int SDefaultFilter = 65331;       // "すべてのファイル"
}  // namespace res

std::string LoadResString(int id);
