// The root of the class tree, and the event handler types shared by all subsystems.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

class TObject {
public:
    virtual ~TObject() = default;
    virtual const char* ClassName() const noexcept { return "TObject"; }
};

// An event handler taking the sending object.
using TNotifyEvent = std::function<void(TObject* sender)>;

// Rectangle in device pixels; Right and Bottom are exclusive.
struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    friend bool operator==(const TRect& a, const TRect& b) {
        return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
    }
};

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return TRect{left, top, right, bottom};
}
