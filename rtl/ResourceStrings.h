// Message texts live in the program's string table (resources/strings.rc) under these
// numbers; LoadResString returns them in the ANSI code page. Use the names, not numbers.
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

// Picture-open dialog.
constexpr int SPictureLabel = 65336;        // "画像:"
constexpr int SPictureDesc = 65337;         // " (%dx%d)"
constexpr int SPreviewLabel = 65338;        // "プレビュー"
constexpr int SNone = 65330;                // "(なし)"
constexpr int SInvalidImage = 65411;        // "画像が不正です"

// Picture container and graphics.
constexpr int SUnknownExtension = 65000;    // "拡張子 .%s の画像形式は処理できません"
constexpr int SAssignError = 65001;         // "%s を %s に代入することはできません"
constexpr int SNoCanvasHandle = 65002;      // "Canvas に対する描画ができません"
constexpr int SInvalidBitmap = 65003;       // "ビットマップイメージが不正です"
constexpr int SUnknownClipboardFormat = 65004;  // "未対応のクリップボード データです"
constexpr int SOutOfResources = 65005;      // "システム リソースが足りません"
constexpr int SInvalidPixelFormat = 65006;  // "画像フォーマットが不正です"
constexpr int SScanLine = 65007;            // "スキャンライン のインデックスが範囲を越えました"
constexpr int SChangeIconSize = 65008;      // "アイコンの大きさは変更できません"
constexpr int SIconToClipboard = 65009;     // "クリップボードはアイコンには対応していません"
constexpr int SInvalidIcon = 65010;         // "アイコンイメージが不正です"
constexpr int SInvalidMetafile = 65011;     // "メタファイルが不正です"
constexpr int SChangeJPGSize = 65012;       // "JPEG イメージのサイズは変更できません"
constexpr int SJPEGError = 65013;           // "JPEG エラー #%d"

// Streams and files.
constexpr int SReadError = 65020;           // "ストリームからの読み込みエラー"
constexpr int SWriteError = 65021;          // "ストリームへの書き込みエラー"
constexpr int SFOpenError = 65022;          // "ファイル %s は開けません"
constexpr int SFCreateError = 65023;        // "ファイル %s を作成できません"
constexpr int SInvalidFormat = 65024;       // "書式 '%s' が不正か、引数と一致しません"
constexpr int SPropertyReadError = 65025;   // "%s%s%s の読み込み中のエラー : %s"

// Run-time errors.
constexpr int SZeroDivide = 65030;          // "0 による浮動小数点数除算"
constexpr int SInvalidOp = 65031;           // "不正な浮動小数点数演算命令"
constexpr int SOverflow = 65032;            // "浮動小数点数演算のオーバーフロー"
constexpr int SOutOfMemory = 65033;         // "メモリが足りません"
constexpr int SOSError = 65034;             // "システムエラー。コード：%d.\r\n%s"
constexpr int SUnkOSError = 65035;          // "OS 機能呼び出しの失敗"
constexpr int SExceptTitle = 65036;         // "アプリケーション エラー"
constexpr int SException = 65037;           // "%sがモジュール %s の %p で発生しました。\n%s%s"

// Printing.
constexpr int SPrinting = 65040;            // "現在印刷中です"
constexpr int SNotPrinting = 65041;         // "プリンタに印刷できる状態ではありません"
constexpr int SInvalidPrinter = 65042;      // "選択したプリンタは有効ではありません"
constexpr int SNoDefaultPrinter = 65043;    // "デフォルト プリンタが存在しません"
constexpr int SPrinterNotSupported = 65044; // "選択されたプリンタではサポートされていない機能です"
constexpr int SPrinterOnPort = 65045;       // "%s. %s" (printer name, port)
}  // namespace res

// The string numbered `id` from the running module's string table; empty when missing.
std::string LoadResString(int id);
