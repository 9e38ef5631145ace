#include "progress/GdiPainter.h"

#include <algorithm>
#include <cwchar>

#include "progress/ViewerStyle.h"

namespace {

COLORREF ToColorRef(TRgb rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

TRgb ButtonFace() {
    return ColorToRgb(clBtnFace, 0xF0F0F0);
}

void FillSolid(HDC dc, int left, int top, int right, int bottom, TRgb rgb) {
    const RECT rect{left, top, right, bottom};
    SetDCBrushColor(dc, ToColorRef(rgb));
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Rectangle(l, t, r, b) with a 1-pixel black pen: the outline covers columns l..r-1 and rows
// t..b-1, the inside takes the fill. An empty rectangle draws nothing. Filled by hand, as the Qt
// half does, so both halves put the same pixels there.
void OutlinedRectangle(HDC dc, int l, int t, int r, int b, TRgb fill) {
    if (r <= l || b <= t) {
        return;
    }
    FillSolid(dc, l, t, r, b, 0x000000);
    if (r - l > 2 && b - t > 2) {
        FillSolid(dc, l + 1, t + 1, r - 1, b - 1, fill);
    }
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

void WriteText(HDC dc, HFONT font, TRgb colour, int x, int y, const std::string& text) {
    const std::wstring wide = WideText(text);
    SelectObject(dc, font);
    SetTextColor(dc, ToColorRef(colour));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

}  // namespace

std::wstring WideText(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
    }
    return wide;
}

TDibImage::~TDibImage() {
    Release();
}

TDibImage::TDibImage(TDibImage&& other) noexcept {
    *this = std::move(other);
}

TDibImage& TDibImage::operator=(TDibImage&& other) noexcept {
    if (this != &other) {
        Release();
        std::swap(Dc, other.Dc);
        std::swap(Bitmap, other.Bitmap);
        std::swap(Previous, other.Previous);
        std::swap(Bits, other.Bits);
        std::swap(ImageWidth, other.ImageWidth);
        std::swap(ImageHeight, other.ImageHeight);
    }
    return *this;
}

void TDibImage::Create(int width, int height) {
    Release();
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
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return;
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        DeleteDC(dc);
        return;
    }
    Dc = dc;
    Bitmap = bitmap;
    Bits = bits;
    Previous = SelectObject(dc, bitmap);
    ImageWidth = width;
    ImageHeight = height;
}

void TDibImage::Release() {
    if (Dc) {
        // The fonts selected meanwhile belong to the measurer: put the DC's own objects back.
        SelectObject(Dc, Previous);
        SelectObject(Dc, GetStockObject(SYSTEM_FONT));
        DeleteDC(Dc);
        DeleteObject(Bitmap);
    }
    Dc = nullptr;
    Bitmap = nullptr;
    Previous = nullptr;
    Bits = nullptr;
    ImageWidth = ImageHeight = 0;
}

TFramePixels TDibImage::Pixels() const {
    if (!Bits) {
        return TFramePixels();
    }
    // 32-bit rows need no padding.
    return TFramePixels{ImageWidth, ImageHeight, static_cast<std::ptrdiff_t>(ImageWidth) * 4,
                        static_cast<const std::uint8_t*>(Bits)};
}

TGdiTextMeasurer::TGdiTextMeasurer() : Dc(CreateCompatibleDC(nullptr)) {}

TGdiTextMeasurer::~TGdiTextMeasurer() {
    if (Dc) {
        SelectObject(Dc, GetStockObject(SYSTEM_FONT));
        DeleteDC(Dc);
    }
    for (const auto& entry : Fonts) {
        DeleteObject(entry.second);
    }
}

HFONT TGdiTextMeasurer::Font(const TViewerFont& font) {
    for (const auto& entry : Fonts) {
        if (entry.first == font) {
            return entry.second;
        }
    }
    const std::string& name =
        font.Name.empty() || font.Name == kUiFontName ? std::string(kUiFontFace) : font.Name;
    std::wstring face = WideText(name);
    face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    // A negative height asks for the em height in pixels, the size Qt's setPixelSize gives.
    HFONT handle = CreateFontW(
        -FontPixelSize(font.Points), 0, 0, 0, (font.Style & fsBold) != 0 ? FW_BOLD : FW_NORMAL,
        (font.Style & fsItalic) != 0, (font.Style & fsUnderline) != 0,
        (font.Style & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!handle) {
        handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    Fonts.emplace_back(font, handle);
    return handle;
}

int TGdiTextMeasurer::TextWidth(const TViewerFont& font, const std::string& text) {
    const std::wstring wide = WideText(text);
    SelectObject(Dc, Font(font));
    SIZE size{};
    GetTextExtentPoint32W(Dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

int TGdiTextMeasurer::TextHeight(const TViewerFont& font, const std::string& text, int width,
                                 bool wordWrap) {
    const std::wstring wide = WideText(text);
    SelectObject(Dc, Font(font));
    RECT rect{0, 0, width, 0};
    DrawTextW(Dc, wide.c_str(), static_cast<int>(wide.size()), &rect,
              DT_CALCRECT | DT_NOPREFIX | (wordWrap ? DT_WORDBREAK : 0));
    return rect.bottom;
}

std::unique_ptr<IViewerPainter> CreateViewerPainter() {
    return std::make_unique<TGdiViewerPainter>();
}

TFramePixels TGdiViewerPainter::Frame() const {
    return WindowImage.Pixels();
}

int TGdiViewerPainter::MeasureStrings(std::vector<TViewerString>& lines, int width,
                                      TColor backColor) {
    const TTextBlockLayout layout = LayoutTextBlock(lines, width, backColor, Measurer);
    DrawTextBlock(layout, lines);
    return layout.Total;
}

void TGdiViewerPainter::DrawTextBlock(const TTextBlockLayout& layout,
                                      const std::vector<TViewerString>& lines) {
    TextImage.Create(layout.Block.Width, layout.Block.Height);
    if (TextImage.IsNull()) {
        return;
    }
    HDC dc = TextImage.Context();
    FillSolid(dc, 0, 0, TextImage.Width(), TextImage.Height(),
              ColorToRgb(layout.BackColor, ButtonFace()));
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < layout.Lines.size(); ++i) {
        const TRect& box = layout.Lines[i];
        if (box.IsEmpty()) {
            continue;
        }
        const std::wstring text = WideText(lines[i].Text);
        SelectObject(dc, Measurer.Font(layout.Fonts[i]));
        SetTextColor(dc, ToColorRef(ColorToRgb(layout.Colors[i], 0x000000)));
        RECT rect{box.Left, box.Top, box.Right(), box.Bottom()};
        // Without DT_NOCLIP the text is cut at its box, as a long unwrapped line must be.
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, TextFlags(lines[i]));
    }
}

void TGdiViewerPainter::DrawBackground(int width, int height) {
    WindowImage.Create(width, height);
    BackgroundImage.Create(width, height);
    if (WindowImage.IsNull() || BackgroundImage.IsNull()) {
        return;
    }
    OutlinedRectangle(WindowImage.Context(), 0, 0, width, height, ButtonFace());
    BitBlt(BackgroundImage.Context(), 0, 0, width, height, WindowImage.Context(), 0, 0, SRCCOPY);
    if (!TextImage.IsNull()) {
        BitBlt(BackgroundImage.Context(), kTextLeft, kTextTop, TextImage.Width(),
               TextImage.Height(), TextImage.Context(), 0, 0, SRCCOPY);
    }
    GdiFlush();
}

double TGdiViewerPainter::DrawProgress(const TTickState& state) {
    if (BackgroundImage.IsNull()) {
        return state.Percent;
    }
    const TProgressFrame frame =
        LayoutProgress(state, BackgroundImage.Width(), BackgroundImage.Height(), Measurer);
    DrawFrame(frame);
    // The window layer reads the bits directly: GDI's batched drawing must have reached them.
    GdiFlush();
    return frame.Percent;
}

void TGdiViewerPainter::DrawFrame(const TProgressFrame& frame) {
    HDC window = WindowImage.Context();
    BitBlt(window, 0, 0, BackgroundImage.Width(), BackgroundImage.Height(),
           BackgroundImage.Context(), 0, 0, SRCCOPY);

    // The bar is drawn apart so that what lies in it is cut at its edges.
    const TRect& barRect = frame.Bar;
    if (BarImage.Width() != barRect.Width || BarImage.Height() != barRect.Height) {
        BarImage.Create(barRect.Width, barRect.Height);
    }
    if (!BarImage.IsNull()) {
        HDC bar = BarImage.Context();
        OutlinedRectangle(bar, 0, 0, barRect.Width, barRect.Height, 0xFFFFFF);
        const TRect& filled = frame.Filled;
        const int fillLeft = filled.Left - barRect.Left;
        const int fillTop = filled.Top - barRect.Top;
        OutlinedRectangle(bar, fillLeft, fillTop, fillLeft + filled.Width, fillTop + filled.Height,
                          ColorToRgb(frame.FillColor, 0x000000));
        if (frame.PercentText.Visible) {
            const TPlacedText& text = frame.PercentText;
            WriteText(bar, Measurer.Font(text.Font), 0x000000, text.Box.Left - barRect.Left,
                      text.Box.Top - barRect.Top, text.Text);
        }
    }

    if (frame.ElapsedText.Visible) {
        const TPlacedText& text = frame.ElapsedText;
        WriteText(window, Measurer.Font(text.Font), 0x000000, text.Box.Left, text.Box.Top,
                  text.Text);
    }
    if (!BarImage.IsNull()) {
        BitBlt(window, barRect.Left, barRect.Top, barRect.Width, barRect.Height, BarImage.Context(),
               0, 0, SRCCOPY);
    }

    if (frame.CancelVisible) {
        DrawCancelButton(frame);
    }
}

void TGdiViewerPainter::DrawCancelButton(const TProgressFrame& frame) {
    const std::string& caption = frame.CancelCaption;
    const int width = frame.CancelButton.Width;
    const int height = frame.CancelButton.Height;
    // The button never changes between ticks: render it once per caption.
    if (ButtonImage.IsNull() || ButtonCaption != caption || ButtonImage.Width() != width ||
        ButtonImage.Height() != height) {
        ButtonCaption = caption;
        ButtonImage.Create(width, height);
        if (ButtonImage.IsNull()) {
            return;
        }
        HDC button = ButtonImage.Context();
        FillSolid(button, 0, 0, width, height, ButtonFace());
        for (const TEdgeLine& edge : RaisedButtonEdges(width, height)) {
            const TRect& line = edge.Line;
            if (!line.IsEmpty()) {
                FillSolid(button, line.Left, line.Top, line.Right(), line.Bottom(),
                          ColorToRgb(edge.Color, 0x000000));
            }
        }
        const std::wstring text = WideText(caption);
        SelectObject(button, Measurer.Font(frame.CancelFont));
        SetTextColor(button, RGB(0, 0, 0));
        SetBkMode(button, TRANSPARENT);
        RECT rect{0, 0, width, height};
        DrawTextW(button, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    BitBlt(WindowImage.Context(), frame.CancelButton.Left, frame.CancelButton.Top, width, height,
           ButtonImage.Context(), 0, 0, SRCCOPY);
}
