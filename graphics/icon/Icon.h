// The icon picture (extension "ico"): keeps the file's bytes as read and makes the platform
// icon from the directory entry that suits the screen when it is first drawn. Icons are
// drawn at their own size, never stretched.
#pragma once
#include <windows.h>
#include <memory>
#include "graphics/Canvas.h"
#include "graphics/SharedImage.h"
#include "graphics/Graphic.h"

class TMemoryStream;

// Icon data shared between copies of an icon picture.
class TIconImage : public TSharedImage {
public:
    TIconImage();
    ~TIconImage() override;
    const char* ClassName() const noexcept override { return "TIconImage"; }

    HICON IconHandle = nullptr;  // none until first needed
    std::unique_ptr<TMemoryStream> FileBytes;
    SIZE IconSize{0, 0};  // the chosen entry's size once the icon is made
    // Drawing failed and the error has been shown once: a failing icon must not raise a
    // new error at every repaint, so later failures of this block pass in silence on the
    // screen (a printer still hears of each).
    bool FailureReported = false;

protected:
    void ReleaseHandles() override;
};

class TIcon : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TIcon();
    ~TIcon() override;

    void CopyFrom(TPersistent* source) override;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override;
    int32_t Width() const override;
    int32_t Height() const override;
    void SetWidth(int32_t value) override;
    void SetHeight(int32_t value) override;
    void SetTransparent(bool) override {}
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;

    // Makes the platform icon from the file's bytes if it is not made yet.
    void EnsureIconHandle();
    // The shared block, for tests.
    const TIconImage& Image() const { return *image_; }
    SIZE WantedIconSize() const { return wantedIconSize_; }

private:
    void ReplaceImage(TIconImage* image);

    TIconImage* image_;
    SIZE wantedIconSize_{0, 0};  // (0, 0): the platform's standard icon size
};
