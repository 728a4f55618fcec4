// The process-wide registries of picture file formats and clipboard formats.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "graphics/GraphicClass.h"

struct TFileFormat {
    GraphicClass GraphicClass_;
    std::string Extension;    // lower-cased, without the dot
    std::string Description;
    int32_t DescriptionId = 0;
};

class TFileFormatsList {
public:
    TFileFormatsList();  // registers the four built-in formats
    void AddFormat(const std::string& extension, const std::string& description,
                   GraphicClass graphicClass, int32_t descriptionId);
    GraphicClass FindFormatByExtension(const std::string& extension) const;
    GraphicClass FindFormatByClassName(const std::string& name) const;
    void RemoveFormatClass(GraphicClass graphicClass);
    void BuildFileFilter(GraphicClass graphicClass, std::string& filter, std::string& masks) const;
    const std::vector<TFileFormat>& Entries() const { return entries_; }

private:
    std::vector<TFileFormat> entries_;
};

class TClipboardFormats {
public:
    TClipboardFormats();  // CF_METAFILEPICT, CF_ENHMETAFILE -> TMetafile; CF_BITMAP -> TBitmap
    void Add(uint16_t format, GraphicClass graphicClass);
    void RemoveFormatClass(GraphicClass graphicClass);
    size_t Count() const { return classes_.size(); }
    GraphicClass ClassAt(size_t i) const { return classes_[i]; }
    uint16_t FormatAt(size_t i) const { return formats_[i]; }

private:
    std::vector<GraphicClass> classes_;
    std::vector<uint16_t> formats_;
};

// Created on first use; exist until the process ends (or ReleaseGraphicRegistries).
TFileFormatsList& GlobalFileFormats();
TClipboardFormats& GlobalClipboardFormats();
bool GlobalFileFormatsExist();
bool GlobalClipboardFormatsExist();
// Destroys both registries (the file formats first); the graphics module's shutdown.
void ReleaseGraphicRegistries();

// The extension of a file name as LoadPictureFile takes it: the text after the last "."
// that is not followed by a "\" or ":" (double-byte characters respected), without the dot
// and in its original case; empty when there is none.
std::string ExtractPictureExtension(const std::string& fileName);
// The platform's lower-casing: "A".."Z" to "a".."z", double-byte characters untouched.
std::string AnsiLowerCase(const std::string& s);
