#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <utility>

// Owners of GDI objects: each deletes its object when it goes, moves hand it on, copies are not
// possible. A control given a font (WM_SETFONT) does not own it: the font's owner must outlive it.
template <typename THandle>
class TGdiObject {
  public:
    TGdiObject() = default;
    explicit TGdiObject(THandle handle) : Handle(handle) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(TGdiObject&& other) noexcept : Handle(std::exchange(other.Handle, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.Handle, nullptr));
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    THandle Get() const { return Handle; }
    explicit operator bool() const { return Handle != nullptr; }
    void Reset(THandle handle = nullptr) {
        if (Handle) DeleteObject(Handle);
        Handle = handle;
    }

  private:
    THandle Handle = nullptr;
};

using TFont = TGdiObject<HFONT>;
using TBitmap = TGdiObject<HBITMAP>;

// A memory device context. It puts back the bitmap and font it was made with before it is
// deleted, so that what was selected into it meanwhile can be deleted by its own owner.
class TMemoryDc {
  public:
    TMemoryDc() = default;
    // A context compatible with the screen; null when GDI has none to give.
    static TMemoryDc Create();
    ~TMemoryDc() { Reset(); }
    TMemoryDc(TMemoryDc&& other) noexcept;
    TMemoryDc& operator=(TMemoryDc&& other) noexcept;
    TMemoryDc(const TMemoryDc&) = delete;
    TMemoryDc& operator=(const TMemoryDc&) = delete;

    HDC Get() const { return Dc; }
    explicit operator bool() const { return Dc != nullptr; }
    void Reset();

  private:
    HDC Dc = nullptr;
    HGDIOBJ OwnBitmap = nullptr;
    HGDIOBJ OwnFont = nullptr;
};

// Tahoma, the windows' font: `pixels` high (its em height), of `weight` (FW_NORMAL, FW_BOLD).
TFont TahomaFont(int pixels, int weight);
