// The stored layout of a window: a text resource (RCDATA, UTF-8) that lists the window's
// properties and then its components in creation order, each with its properties:
//
//   # comment
//   form Form1 TForm1
//     Caption Tetrafol
//     Left 246
//   component Label4 TLabel
//     Left 208
//     Font.Style [fsBold]
//
// A property line is a name, blanks, and the value up to the end of the line (trailing
// blanks dropped, so a value may contain inner blanks). Indentation is for the reader.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct LayoutProperty {
    std::string Name;
    std::string Value;  // in the ANSI code page
};

struct LayoutObject {
    std::string Name;
    std::string ClassName;
    std::vector<LayoutProperty> Properties;
};

struct Layout {
    LayoutObject Form;
    std::vector<LayoutObject> Components;
};

// Parses layout text already in the ANSI code page. Fails with EReadError on a line it
// does not understand, a property before the "form" line or a second "form" line.
Layout ParseLayout(const std::string& text);

// The RCDATA resource `name` of `module`, converted from UTF-8 to the ANSI code page.
// Fails with EReadError when the resource is missing.
std::string LoadLayoutText(HMODULE module, const char* name);

// Text conversion from UTF-8 to the ANSI code page.
std::string Utf8ToAnsi(const std::string& utf8);
