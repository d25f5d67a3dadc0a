#include "Picture.h"

#include "PngDecoder.h"
#include "runtime/RuntimeError.h"

#include <cstring>

namespace forms {

Picture::Picture(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        runtime::Raise(runtime::kErrFileNotFound);
    }
    const DecodedPicture decoded =
        DecodePng(static_cast<const uint8_t*>(data), static_cast<size_t>(SizeofResource(module, resource)));

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = decoded.Width;
    info.bmiHeader.biHeight = -decoded.Height; // top-down, as the rows were decoded
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    runtime::GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        runtime::Raise(runtime::kErrOutOfMemory);
    }
    std::memcpy(bits, decoded.Pixels.data(), decoded.Pixels.size());
    bitmap_ = std::move(bitmap);
    width_ = decoded.Width;
    height_ = decoded.Height;
}

void Picture::DrawCentred(HDC dc, const RECT& area) const {
    if (!bitmap_) {
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap_.get());
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    const int x = area.left + (areaWidth - width_) / 2;
    const int y = area.top + (areaHeight - height_) / 2;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    BitBlt(dc, x, y, width_, height_, memory, 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
    SelectObject(memory, old);
    DeleteDC(memory);
}

} // namespace forms
