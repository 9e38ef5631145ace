#include "winbase/GdiObjects.h"

TMemoryDc TMemoryDc::Create() {
    TMemoryDc context;
    context.Dc = CreateCompatibleDC(nullptr);
    if (context.Dc) {
        context.OwnBitmap = GetCurrentObject(context.Dc, OBJ_BITMAP);
        context.OwnFont = GetCurrentObject(context.Dc, OBJ_FONT);
    }
    return context;
}

TMemoryDc::TMemoryDc(TMemoryDc&& other) noexcept
    : Dc(std::exchange(other.Dc, nullptr)),
      OwnBitmap(std::exchange(other.OwnBitmap, nullptr)),
      OwnFont(std::exchange(other.OwnFont, nullptr)) {}

TMemoryDc& TMemoryDc::operator=(TMemoryDc&& other) noexcept {
    if (this != &other) {
        Reset();
        Dc = std::exchange(other.Dc, nullptr);
        OwnBitmap = std::exchange(other.OwnBitmap, nullptr);
        OwnFont = std::exchange(other.OwnFont, nullptr);
    }
    return *this;
}

void TMemoryDc::Reset() {
    if (Dc) {
        SelectObject(Dc, OwnBitmap);
        SelectObject(Dc, OwnFont);
        DeleteDC(Dc);
    }
    Dc = nullptr;
    OwnBitmap = OwnFont = nullptr;
}

TFont TahomaFont(int pixels, int weight) {
    // A negative height asks for the em height rather than the cell height.
    return TFont(CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}
