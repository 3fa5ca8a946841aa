#include "player/win/WicJpegDecoder.h"

#include <windows.h>
#include <wincodec.h>

#include <limits>

namespace player {

namespace {

// Releases a COM interface when the decode leaves, whichever way it leaves.
template <typename T>
class CComRef {
public:
    CComRef() = default;
    ~CComRef()
    {
        if (m_p)
            m_p->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
};

}  // namespace

bool CWicJpegDecoder::Decode(const uint8_t* pData, size_t nSize, int nMaxDimension, uint32_t nMaxPixels,
                             CBitmap& out)
{
    if (!pData || nSize == 0 || nSize > std::numeric_limits<DWORD>::max())
        return false;
    CComRef<IWICImagingFactory> pFactory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&pFactory))))
        return false;
    CComRef<IWICStream> pStream;
    if (FAILED(pFactory->CreateStream(&pStream)) ||
        FAILED(pStream->InitializeFromMemory(const_cast<BYTE*>(pData), static_cast<DWORD>(nSize))))
        return false;
    // Only the JPEG decoder: the movie says the bytes are JPEG, and no other codec need parse them.
    CComRef<IWICBitmapDecoder> pDecoder;
    if (FAILED(pFactory->CreateDecoder(GUID_ContainerFormatJpeg, nullptr, &pDecoder)) ||
        FAILED(pDecoder->Initialize(pStream.Get(), WICDecodeMetadataCacheOnDemand)))
        return false;
    CComRef<IWICBitmapFrameDecode> pFrame;
    if (FAILED(pDecoder->GetFrame(0, &pFrame)))
        return false;
    UINT w = 0, h = 0;
    if (FAILED(pFrame->GetSize(&w, &h)) || w == 0 || h == 0 || w > UINT(nMaxDimension) || h > UINT(nMaxDimension) ||
        uint64_t(w) * h > nMaxPixels)
        return false;
    CComRef<IWICFormatConverter> pConverter;
    if (FAILED(pFactory->CreateFormatConverter(&pConverter)) ||
        FAILED(pConverter->Initialize(pFrame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                      0.0, WICBitmapPaletteTypeCustom)))
        return false;
    CBitmap bitmap;
    bitmap.nWidth = static_cast<int>(w);
    bitmap.nHeight = static_cast<int>(h);
    bitmap.pixels.resize(size_t(w) * h);
    if (FAILED(pConverter->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(bitmap.pixels.data()))))
        return false;
    // JPEG has no alpha; opaque pixels are their own premultiplied form.
    for (uint32_t& px : bitmap.pixels)
        px |= 0xFF000000u;
    out = std::move(bitmap);
    return true;
}

}  // namespace player
