#include "Picture.h"

#include "runtime/RuntimeError.h"

#include <objbase.h>
#include <wincodec.h>

namespace forms {

namespace {

// Releases a COM interface at the end of the scope.
template <class Interface> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    Interface* operator->() const noexcept { return pointer_; }
    Interface* get() const noexcept { return pointer_; }
    Interface** put() noexcept { return &pointer_; }

private:
    Interface* pointer_ = nullptr;
};

void Check(HRESULT result) {
    if (FAILED(result)) {
        runtime::Raise(runtime::kErrPathFileAccess);
    }
}

} // namespace

Picture::Picture(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        runtime::Raise(runtime::kErrFileNotFound);
    }
    const DWORD size = SizeofResource(module, resource);

    // The decoder is a COM object; the thread may have joined an apartment already.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(factory.put())));
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(stream.put()));
    Check(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size));
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnLoad, decoder.put()));
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.put()));
    // Through the factory, not WICConvertBitmapSource: the program does not import the codecs'
    // DLL, which would be looked for beside the program first (see runtime/OleAut.h).
    ComPtr<IWICFormatConverter> converted;
    Check(factory->CreateFormatConverter(converted.put()));
    Check(converted->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom));
    UINT width = 0;
    UINT height = 0;
    Check(converted->GetSize(&width, &height));

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down, as WIC delivers the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    runtime::GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        runtime::Raise(runtime::kErrOutOfMemory);
    }
    Check(converted->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)));
    bitmap_ = std::move(bitmap);
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
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
