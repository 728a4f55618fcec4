// The image area: a windowless control that paints its picture fitted into its bounds.
#pragma once
#include <memory>
#include "framework/Control.h"
#include "graphics/bitmap/ReducedCopy.h"
#include "graphics/Picture.h"

class TImage : public TGraphicControl {
public:
    TImage();
    ~TImage() override;
    const char* ClassName() const noexcept override { return "TImage"; }

    TPicture& Picture() { return *picture_; }
    // Copies `value` into the image's own container (which notifies PictureUpdated).
    void SetPicture(TPicture* value);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    bool Proportional() const { return proportional_; }
    void SetProportional(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool IncrementalDisplay = false;
    bool AutoSize = false;
    TProgressEvent OnProgress;

    // True while the image paints.
    bool InPaint() const { return inPaint_; }

    // Where the picture is drawn, in the image's own coordinates.
    TRect FittedRect() const;
    HPALETTE Palette() const override;
    // Answers the framework's automatic sizing with the picture's size; always true.
    bool AutoSizeQuery(int32_t& newWidth, int32_t& newHeight) const;

    // The container's OnChange handler; also run after the property writes.
    void PictureUpdated(TObject* sender);
    // The container's OnProgress handler.
    void PictureProgress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                         const TRect& r, const std::string& msg);
    // Asks the active form to realise palettes when the graphic's palette changed.
    bool RequestPaletteRealize();

    bool SetLayoutProperty(const std::string& property, const std::string& value) override;

protected:
    void Paint() override;

private:
    // Paints through the reduced copy when there is one for `rect`, making it first when
    // the picture or the rectangle's size changed; false when the picture paints itself.
    bool PaintReduced(const TRect& rect);
    void DropReducedCopy();

    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool inPaint_ = false;
    bool progressPaint_ = false;  // painting at once for a progress report
    bool proportional_ = false;
    // The picture reduced to the fitted rectangle, made once per picture and size.
    TReducedCopy reduced_;
    bool reducedTried_ = false;   // made, or found not worth making, for this picture and size
    int32_t reducedWidth_ = 0, reducedHeight_ = 0;
};
