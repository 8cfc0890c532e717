// Owners for GDI+ through its flat interface: a session (start-up token), a decoded image
// together with the stream and memory block it reads from, and a graphics object.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>

namespace xcyh2 {

// One GDI+ start-up with its own token; shut down with that token when it goes.
class GdiplusSession {
public:
    GdiplusSession() = default;
    ~GdiplusSession() { Shutdown(); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool Startup();
    void Shutdown();
    ULONG_PTR token() const { return token_; }

private:
    ULONG_PTR token_ = 0;
};

// A picture decoded from a resource. GDI+ may read the stream after decoding has begun, so
// the stream and its memory block live exactly as long as the image and are released after it.
class ResourceImage {
public:
    ResourceImage() = default;
    ~ResourceImage() { Reset(); }
    ResourceImage(ResourceImage&& other) noexcept;
    ResourceImage& operator=(ResourceImage&& other) noexcept;
    ResourceImage(const ResourceImage&) = delete;
    ResourceImage& operator=(const ResourceImage&) = delete;

    // The GDI+ image (GpImage*), or nullptr when nothing was decoded.
    void* get() const { return image_; }
    explicit operator bool() const { return image_ != nullptr; }
    UINT Width() const;
    UINT Height() const;
    void Reset();
    // Draws the image into the DC at width x height; false when nothing was drawn. At its own
    // size it is copied as it is. At another size (a denser screen) it is resampled with the
    // high-quality bicubic filter, its border continued outward so that the edge pixels keep
    // their own colour and alpha. With keyColour, pixels of exactly that colour count as
    // transparent, so a keyed picture's edge blends with nothing rather than with the key.
    bool Draw(HDC dc, int width, int height, std::optional<COLORREF> keyColour = std::nullopt) const;

private:
    friend ResourceImage LoadPngFromRes(int resourceId, const std::wstring& resourceType);
    void* image_ = nullptr;
    IStream* stream_ = nullptr;
    HGLOBAL block_ = nullptr;
};

// Decodes a picture (PNG, GIF, ...) stored as a custom resource. GDI+ must be started.
// A missing or undecodable resource gives an empty image.
ResourceImage LoadPngFromRes(int resourceId, const std::wstring& resourceType);

}  // namespace xcyh2
