// The text rules of the application object: the title derived from the executable's path
// and the wording of error boxes. Texts are in the ANSI code page; double-byte characters
// are kept whole.
#pragma once
#include <string>

// The title for an executable path (already in the ANSI code page): what follows the last
// "\", cut before the first ".", every character after the first lower-cased.
std::string ApplicationTitleFromPath(const std::string& path);

// An error message as the error box shows it: a "." is appended when the last character
// sorts above "." (any double-byte character, or a single byte above 0x2E).
std::string ErrorBoxText(const std::string& message);

// The text of the fatal start-up box for an error of `className` with `message`.
std::string FatalErrorText(const std::string& className, const std::string& moduleName,
                           const void* address, const std::string& message);

// Byte offset of the last character of `text` (npos when empty), stepping over
// double-byte characters of the ANSI code page.
size_t LastCharacterOffset(const std::string& text);
