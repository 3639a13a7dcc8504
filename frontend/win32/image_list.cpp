#include "frontend/win32/image_list.h"

#include "resource_ids.h"

#include <wincodec.h>

#include <utility>

namespace {

// Releases a COM interface at the end of a scope.
template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

Picture::Picture(int width, int height, std::vector<std::uint32_t> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

Picture::~Picture() {
    if (bitmap_) DeleteObject(bitmap_);
}

Picture::Picture(Picture&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      pixels_(std::move(other.pixels_)),
      bitmap_(std::exchange(other.bitmap_, nullptr)) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        if (bitmap_) DeleteObject(bitmap_);
        width_ = other.width_;
        height_ = other.height_;
        pixels_ = std::move(other.pixels_);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
    }
    return *this;
}

HBITMAP Picture::bitmap() const {
    if (bitmap_ || empty()) return bitmap_;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_) memcpy(bits, pixels_.data(), pixels_.size() * sizeof(std::uint32_t));
    return bitmap_;
}

Picture Picture::scaled(int w, int h) const {
    if (empty() || w <= 0 || h <= 0) return {};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        // Source rows and columns each target pixel covers; at least one of each.
        const int y0 = y * height_ / h;
        const int y1 = std::max(y0 + 1, (y + 1) * height_ / h);
        for (int x = 0; x < w; ++x) {
            const int x0 = x * width_ / w;
            const int x1 = std::max(x0 + 1, (x + 1) * width_ / w);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    const std::uint32_t p = pixels_[static_cast<std::size_t>(sy) * width_ + sx];
                    for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
                }
            }
            const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            std::uint32_t p = 0;
            for (int c = 0; c < 4; ++c) p |= ((sum[c] + n / 2) / n) << (8 * c);
            out[static_cast<std::size_t>(y) * w + x] = p;
        }
    }
    return Picture(w, h, std::move(out));
}

HICON Picture::icon() const {
    if (empty()) return nullptr;
    HBITMAP color = bitmap();
    HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    return icon;
}

Picture loadPicture(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    if (!found) return {};
    const DWORD size = SizeofResource(module, found);
    auto* data = static_cast<BYTE*>(LockResource(LoadResource(module, found)));
    if (!data || size == 0) return {};

    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(data, size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad,
                                                &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return {};
    }
    UINT w = 0, h = 0;
    converter->GetSize(&w, &h);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    if (FAILED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(pixels.data())))) {
        return {};
    }
    return Picture(static_cast<int>(w), static_cast<int>(h), std::move(pixels));
}

ImageList::ImageList() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // WIC is COM; once per thread is fine
    for (int i = 0; i < kCount; ++i) {
        normal_[i] = loadPicture(IDP_PICTURE + i + 1);
        high_[i] = loadPicture(IDP_PICTURE2X + i + 1);
    }
    smiley_ = loadPicture(IDP_SMILEY);
    smiley2x_ = loadPicture(IDP_SMILEY2X);
    mail_ = loadPicture(IDP_MAIL);
    mail2x_ = loadPicture(IDP_MAIL2X);
    program_ = loadPicture(IDP_PROGRAM);
}

const Picture& ImageList::ListImage(int i, int dpi) const {
    const int k = (i >= 1 && i <= kCount) ? i - 1 : 0;
    return dpi > 96 ? high_[k] : normal_[k];
}
