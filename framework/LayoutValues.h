// Parsing the property values of a stored layout. Every parser fails with EReadError
// ("プロパティ値が無効です") on text it does not understand.
#pragma once
#include <string>
#include "graphics/Canvas.h"

int32_t LayoutInteger(const std::string& value);
bool LayoutBoolean(const std::string& value);              // True / False
TColor LayoutColor(const std::string& value);              // clWhite, clBtnFace, ..., $00BBGGRR
BYTE LayoutCharset(const std::string& value);              // SHIFTJIS_CHARSET, DEFAULT_CHARSET, number
unsigned LayoutFontStyle(const std::string& value);        // [fsBold, fsItalic], [] or fsBold
// One of `names`, answered as its index.
int LayoutEnum(const std::string& value, std::initializer_list<const char*> names);
