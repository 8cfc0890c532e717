// Turns a window into a per-pixel-alpha layered window whose whole look is a picture from the
// program's resources. The picture is decoded with GDI+ and composed once into a 32-bit memory
// bitmap, which this object owns with its memory DC; the system keeps what it is handed, so
// moving the window redraws nothing. The picture is composed at its window's scale.
#pragma once

#include <windows.h>

#include <string>

#include "base/DpiScale.h"

namespace xcyh2 {

class LayeredPicture {
public:
    LayeredPicture() = default;
    ~LayeredPicture() { Release(); }
    LayeredPicture(const LayeredPicture&) = delete;
    LayeredPicture& operator=(const LayeredPicture&) = delete;

    // Compose, then Present.
    void Apply(HWND hwnd, int resourceId, const std::wstring& resourceType, const DpiScale& scale = DpiScale());

    // Decodes the picture and draws it into the memory bitmap at the scale (its own size at
    // 96 DPI, enlarged through GDI+'s high-quality filter above); composing again replaces the
    // earlier composition. GDI+ (and COM for its decoders) is started and ended within the call. It needs no window, so it may run on another
    // thread while the window is made, as long as nothing else touches this object meanwhile.
    // A picture that cannot be loaded leaves an empty composition; nothing is reported.
    void Compose(int resourceId, const std::wstring& resourceType, const DpiScale& scale = DpiScale());

    // Adds WS_EX_LAYERED and hands the composed picture to UpdateLayeredWindow. Without a
    // composition the window is left without content.
    void Present(HWND hwnd);

    // Puts the memory DC's first bitmap back, then deletes the picture's bitmap and the DC.
    void Release();

    bool composed() const { return memDc_ != nullptr; }
    // The composed picture's size, at its scale (0 x 0 when none was decoded).
    SIZE size() const { return size_; }
    // The scale of the last composition.
    const DpiScale& scale() const { return scale_; }
    HDC memoryDc() const { return memDc_; }

private:
    HDC memDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    SIZE size_{0, 0};
    DpiScale scale_;
};

}  // namespace xcyh2
