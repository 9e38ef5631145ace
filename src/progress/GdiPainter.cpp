#include "progress/GdiPainter.h"

#include <algorithm>

#include "progress/ViewerStyle.h"
#include "text/Utf16.h"

namespace {

COLORREF ToColorRef(TRgb rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

UINT TextFlags(const TViewerString& line) {
    // Texts are shown as given: an "&" is no mnemonic prefix here.
    UINT flags = DT_TOP | DT_NOPREFIX;
    switch (line.Alignment) {
        case taRightJustify:
            flags |= DT_RIGHT;
            break;
        case taCenter:
            flags |= DT_CENTER;
            break;
        default:
            flags |= DT_LEFT;
            break;
    }
    if (line.WordWrap) {
        flags |= DT_WORDBREAK;
    }
    return flags;
}

// Readies `dc` for text in `font` and `colour` over what is there.
void PrepareText(HDC dc, HFONT font, TRgb colour) {
    SelectObject(dc, font);
    SetTextColor(dc, ToColorRef(colour));
    SetBkMode(dc, TRANSPARENT);
}

}  // namespace

void TDibImage::Create(int width, int height) {
    Dc.Reset();
    Bitmap.Reset();
    Bits = nullptr;
    ImageWidth = ImageHeight = 0;
    if (width <= 0 || height <= 0) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as TFramePixels reads it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    TMemoryDc dc = TMemoryDc::Create();
    if (!dc) {
        return;
    }
    void* bits = nullptr;
    TBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        return;
    }
    SelectObject(dc.Get(), bitmap.Get());
    Bitmap = std::move(bitmap);
    Dc = std::move(dc);
    Bits = bits;
    ImageWidth = width;
    ImageHeight = height;
}

TFramePixels TDibImage::Pixels() const {
    if (!Bits) {
        return TFramePixels();
    }
    // 32-bit rows need no padding.
    return TFramePixels{ImageWidth, ImageHeight, static_cast<std::ptrdiff_t>(ImageWidth) * 4,
                        static_cast<const std::uint8_t*>(Bits)};
}

HFONT TGdiTextMeasurer::Font(const TViewerFont& font) {
    auto known = std::find_if(Fonts.begin(), Fonts.end(),
                              [&font](const auto& entry) { return entry.first == font; });
    if (known == Fonts.end()) {
        const std::string& name =
            font.Name.empty() || font.Name == kUiFontName ? std::string(kUiFontFace) : font.Name;
        std::wstring face = Wide(name);
        face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
        // A negative height asks for the em height in pixels, the size Qt's setPixelSize gives.
        TFont made(CreateFontW(-FontPixelSize(font.Points, font.Dpi), 0, 0, 0,
                               (font.Style & fsBold) != 0 ? FW_BOLD : FW_NORMAL,
                               (font.Style & fsItalic) != 0, (font.Style & fsUnderline) != 0,
                               (font.Style & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
        known = Fonts.insert(Fonts.end(), {font, std::move(made)});
    }
    return known->second ? known->second.Get()
                         : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int TGdiTextMeasurer::TextWidth(const TViewerFont& font, const std::string& text) {
    const std::wstring wide = Wide(text);
    SelectObject(Dc.Get(), Font(font));
    SIZE size{};
    GetTextExtentPoint32W(Dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

int TGdiTextMeasurer::TextHeight(const TViewerFont& font, const std::string& text, int width,
                                 bool wordWrap) {
    const std::wstring wide = Wide(text);
    SelectObject(Dc.Get(), Font(font));
    RECT rect{0, 0, width, 0};
    DrawTextW(Dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &rect,
              DT_CALCRECT | DT_NOPREFIX | (wordWrap ? DT_WORDBREAK : 0));
    return rect.bottom;
}

std::unique_ptr<IViewerPainter> CreateViewerPainter() {
    return std::make_unique<TGdiViewerPainter>();
}

void TGdiViewerPainter::Create(TViewerImage image, int width, int height) {
    Images[image].Create(width, height);
}

void TGdiViewerPainter::Fill(TViewerImage image, const TRect& rect, TRgb colour) {
    const HDC dc = Images[image].Context();
    const RECT area{rect.Left, rect.Top, rect.Right(), rect.Bottom()};
    SetDCBrushColor(dc, ToColorRef(colour));
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void TGdiViewerPainter::Copy(TViewerImage from, TViewerImage to, int left, int top) {
    const TDibImage& source = Images[from];
    BitBlt(Images[to].Context(), left, top, source.Width(), source.Height(), source.Context(), 0, 0,
           SRCCOPY);
}

void TGdiViewerPainter::DrawLine(TViewerImage image, const TRect& box, const TViewerString& line,
                                 const TViewerFont& font, TRgb colour) {
    const HDC dc = Images[image].Context();
    const std::wstring text = Wide(line.Text);
    PrepareText(dc, TextMeasurer.Font(font), colour);
    RECT rect{box.Left, box.Top, box.Right(), box.Bottom()};
    // Without DT_NOCLIP the text is cut at its box, as a long unwrapped line must be.
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, TextFlags(line));
}

void TGdiViewerPainter::WriteText(TViewerImage image, int left, int top, const TViewerFont& font,
                                  const std::string& text) {
    const HDC dc = Images[image].Context();
    const std::wstring wide = Wide(text);
    PrepareText(dc, TextMeasurer.Font(font), 0x000000);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    TextOutW(dc, left, top, wide.c_str(), static_cast<int>(wide.size()));
}

void TGdiViewerPainter::CentreText(TViewerImage image, const TViewerFont& font,
                                   const std::string& text) {
    const TDibImage& picture = Images[image];
    const std::wstring wide = Wide(text);
    PrepareText(picture.Context(), TextMeasurer.Font(font), 0x000000);
    RECT rect{0, 0, picture.Width(), picture.Height()};
    DrawTextW(picture.Context(), wide.c_str(), static_cast<int>(wide.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
