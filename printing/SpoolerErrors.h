// Helpers for the spooler's answers: its error codes and its comma-separated lists.
#pragma once
#include <windows.h>
#include <string>

// Fails with EOSError: "システムエラー。コード：%d.\r\n%s" with the system's text for `code`.
[[noreturn]] void RaiseOSError(DWORD code);

// The next item of a comma-separated list starting at `pos`: leading blanks skipped,
// trailing blanks kept; `pos` moves past the comma. Empty at the end of the text.
std::string NextListItem(const std::string& text, size_t& pos);
