#include "graphics/FileFormats.h"
#include <windows.h>
#include <memory>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/icon/Icon.h"
#include "graphics/metafile/Metafile.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

// ---- text helpers ----

// The platform's lower-casing, one character at a time so that double-byte characters are
// never touched.

std::string AnsiLowerCase(const std::string& s) {
    std::string result = s;
    for (size_t i = 0; i < result.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(result[i]);
        if (IsDBCSLeadByte(c) && i + 1 < result.size()) {
            ++i;  // both bytes of a double-byte character stay as they are
        } else if (c >= 'A' && c <= 'Z') {
            result[i] = static_cast<char>(c - 'A' + 'a');
        } else if (c >= 0x80) {
            CharLowerBuffA(&result[i], 1);  // the code page's own single-byte letters
        }
    }
    return result;
}

std::string ExtractPictureExtension(const std::string& fileName) {
    // The second byte of a double-byte character may equal "\" (0x5C) or ":", so the
    // name is walked character by character rather than searched from its end.
    size_t last = std::string::npos;
    for (size_t i = 0; i < fileName.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(fileName[i]);
        if (IsDBCSLeadByte(c) && i + 1 < fileName.size()) {
            ++i;
            continue;
        }
        if (c == '.' || c == '\\' || c == ':') last = i;
    }
    if (last == std::string::npos || fileName[last] != '.') return std::string();
    return fileName.substr(last + 1);
}

// ---- TFileFormatsList ----

TFileFormatsList::TFileFormatsList() {
    AddFormat("wmf", LoadResString(res::SVMetafiles), &TMetafile::ClassInfo, 0);
    AddFormat("emf", LoadResString(res::SVEnhMetafiles), &TMetafile::ClassInfo, 0);
    AddFormat("ico", LoadResString(res::SVIcons), &TIcon::ClassInfo, 0);
    AddFormat("bmp", LoadResString(res::SVBitmaps), &TBitmap::ClassInfo, 0);
}

void TFileFormatsList::AddFormat(const std::string& extension, const std::string& description,
                                 GraphicClass graphicClass, int32_t descriptionId) {
    entries_.push_back(TFileFormat{graphicClass, AnsiLowerCase(extension), description, descriptionId});
}

GraphicClass TFileFormatsList::FindFormatByExtension(const std::string& extension) const {
    std::string wanted = AnsiLowerCase(extension);
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->Extension == wanted) return it->GraphicClass_;
    return nullptr;
}

GraphicClass TFileFormatsList::FindFormatByClassName(const std::string& name) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (name == it->GraphicClass_->name) return it->GraphicClass_;
    return nullptr;
}

void TFileFormatsList::RemoveFormatClass(GraphicClass graphicClass) {
    for (size_t i = entries_.size(); i-- > 0;)
        if (entries_[i].GraphicClass_->InheritsFrom(graphicClass)) entries_.erase(entries_.begin() + i);
}

void TFileFormatsList::BuildFileFilter(GraphicClass graphicClass, std::string& filter, std::string& masks) const {
    filter.clear();
    masks.clear();
    int count = 0;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (!it->GraphicClass_->InheritsFrom(graphicClass) || it->Extension.empty()) continue;
        if (count != 0) {
            filter += '|';
            masks += ';';
        }
        filter = Format("%s%s (*.%s)|*.%2:s", {filter, it->Description, it->Extension});
        masks = Format("%s*.%s", {masks, it->Extension});
        ++count;
    }
    if (count > 1)
        filter = Format("%s (%s)|%1:s|%s", {LoadResString(res::SDefaultFilter), masks, filter});
}

// ---- TClipboardFormats ----

TClipboardFormats::TClipboardFormats() {
    Add(CF_METAFILEPICT, &TMetafile::ClassInfo);
    Add(CF_ENHMETAFILE, &TMetafile::ClassInfo);
    Add(CF_BITMAP, &TBitmap::ClassInfo);
}

void TClipboardFormats::Add(uint16_t format, GraphicClass graphicClass) {
    classes_.push_back(graphicClass);
    formats_.push_back(format);
}

void TClipboardFormats::RemoveFormatClass(GraphicClass graphicClass) {
    for (size_t i = classes_.size(); i-- > 0;) {
        if (classes_[i]->InheritsFrom(graphicClass)) {
            classes_.erase(classes_.begin() + i);
            formats_.erase(formats_.begin() + i);
        }
    }
}

// ---- the process-wide registries ----

namespace {
std::unique_ptr<TFileFormatsList> fileFormats;
std::unique_ptr<TClipboardFormats> clipboardFormats;
}  // namespace

TFileFormatsList& GlobalFileFormats() {
    if (!fileFormats) fileFormats = std::make_unique<TFileFormatsList>();
    return *fileFormats;
}

TClipboardFormats& GlobalClipboardFormats() {
    if (!clipboardFormats) clipboardFormats = std::make_unique<TClipboardFormats>();
    return *clipboardFormats;
}

bool GlobalFileFormatsExist() { return fileFormats != nullptr; }
bool GlobalClipboardFormatsExist() { return clipboardFormats != nullptr; }

void ReleaseGraphicRegistries() {
    fileFormats.reset();
    clipboardFormats.reset();
}
