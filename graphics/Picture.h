// The picture container: owns at most one graphic, loads files by extension and
// tells its owner of every change exactly once.
#pragma once
#include <memory>
#include <string>
#include "graphics/Graphic.h"

class TBitmap;

class IChangeNotifier {
public:
    virtual ~IChangeNotifier() = default;
    virtual void Changed() = 0;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    const char* ClassName() const noexcept override { return "TPicture"; }

    TGraphic* Graphic() const { return graphic_.get(); }
    // The graphic with shared ownership, for a caller that draws it while messages are
    // dispatched (printing): a replaced graphic then lives until the caller lets it go.
    std::shared_ptr<TGraphic> HoldGraphic() const { return graphic_; }
    void SetGraphic(TGraphic* value);  // installs a copy; the caller keeps `value`
    void LoadPictureFile(const std::string& fileName);
    void CopyFrom(TPersistent* source) override;
    void CopyTo(TPersistent* dest) override;
    int32_t Width() const;
    int32_t Height() const;
    TBitmap* AsBitmap();
    void ReadFromStream(TStream& stream);
    void WriteToStream(TStream& stream);
    // The stored "Data" property: whether it is written, and its bytes.
    bool StoredDataWanted(TPersistent* ancestor);
    void ReadStoredData(TStream& stream);
    void WriteStoredData(TStream& stream);

    virtual void NotifyChanged(TObject* sender);
    virtual void ReportProgress(TObject* sender, TProgressStage stage, uint8_t percentDone,
                                bool redrawNow, const TRect& r, const std::string& msg);

    // Class-level operations on the global registries: AddFormat (DescriptionId 0) on the
    // file formats; removal from both registries, each only if it exists.
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   GraphicClass graphicClass);
    static void UnregisterGraphicClass(GraphicClass graphicClass);

    TNotifyEvent OnChange;
    IChangeNotifier* Notifier = nullptr;
    TProgressEvent OnProgress;

private:
    void Attach(TGraphic& graphic);
    // Puts `graphic` (or none) in place of the old one, which is let go of.
    void Replace(std::shared_ptr<TGraphic> graphic);
    std::shared_ptr<TGraphic> graphic_;
};

// The open dialog's filter for every format of `graphicClass` (see TFileFormatsList).
std::string GraphicFilter(GraphicClass graphicClass);
