#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "winbase/GdiObjects.h"
#include "winbase/WindowClass.h"

namespace {

// A target that is not the first base of its object, as the program's windows are.
class TFirstBase {
  public:
    virtual ~TFirstBase() = default;
    int Filler = 0;
};

class TRecorder final : public TFirstBase, private TWindowTarget {
  public:
    HWND Create(const wchar_t* className) {
        return CreateTargetWindow(this, 0, className, L"", 0, 0, 0, 10, 10, HWND_MESSAGE);
    }
    LRESULT WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        Messages.push_back(message);
        if (message == WM_APP) return 42;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    std::vector<UINT> Messages;
};

struct TClassCase {
    const char* Rule;
    const wchar_t* Name;
    bool Dialog;
    LRESULT DefaultId;
};

class WindowClassCases : public testing::TestWithParam<TClassCase> {};

TEST_P(WindowClassCases, TheTargetGetsEveryMessageFromNcCreateToNcDestroyAndNoneAfter) {
    TWindowClass windowClass;
    windowClass.Name = GetParam().Name;
    windowClass.Dialog = GetParam().Dialog;
    ASSERT_TRUE(RegisterWindowClass(windowClass));
    EXPECT_TRUE(RegisterWindowClass(windowClass)) << "a second registration finds it";

    TRecorder recorder;
    const HWND window = recorder.Create(windowClass.Name);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 42);
    DestroyWindow(window);
    ASSERT_FALSE(recorder.Messages.empty());
    EXPECT_EQ(recorder.Messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(recorder.Messages.back(), static_cast<UINT>(WM_NCDESTROY));

    TRecorder detached;
    const HWND second = detached.Create(windowClass.Name);
    ASSERT_NE(second, nullptr);
    DetachWindowTarget(second);
    const std::size_t seen = detached.Messages.size();
    EXPECT_EQ(SendMessageW(second, WM_APP, 0, 0), 0);
    // The dialog manager answers for a dialog window: its default button is OK.
    EXPECT_EQ(SendMessageW(second, DM_GETDEFID, 0, 0), GetParam().DefaultId);
    DestroyWindow(second);
    EXPECT_EQ(detached.Messages.size(), seen);
}

std::string RuleName(const testing::TestParamInfo<TClassCase>& param) {
    std::string name;
    for (const char* c = param.param.Rule; *c; ++c) name += *c == ' ' ? '_' : *c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(WinBase, WindowClassCases,
                         testing::Values(TClassCase{"plain window", L"K2LTestPlainClass", false, 0},
                                         TClassCase{"dialog window", L"K2LTestDialogClass", true,
                                                    MAKELRESULT(IDOK, DC_HASDEFID)}),
                         RuleName);

bool Alive(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

TEST(GdiObjects, AnOwnerDeletesItsObjectOnceWhicheverOwnerHoldsItLast) {
    HFONT handle = nullptr;
    {
        TFont moved;
        {
            TFont font = TahomaFont(11, FW_BOLD);
            handle = font.Get();
            ASSERT_TRUE(Alive(handle));
            moved = std::move(font);
        }
        EXPECT_TRUE(Alive(handle)) << "the moved-from owner left it alone";
        EXPECT_EQ(moved.Get(), handle);
    }
    EXPECT_FALSE(Alive(handle));
}

TEST(GdiObjects, TahomaIsAskedForByItsEmHeightAndWeight) {
    const TFont font = TahomaFont(13, FW_BOLD);
    LOGFONTW description{};
    ASSERT_EQ(GetObjectW(font.Get(), sizeof description, &description),
              static_cast<int>(sizeof description));
    EXPECT_EQ(description.lfHeight, -13);
    EXPECT_EQ(description.lfWeight, FW_BOLD);
    EXPECT_EQ(std::wstring(description.lfFaceName), L"Tahoma");
}

TEST(GdiObjects, AMemoryContextIsDeletedByItsLastOwnerWithTheFontSelectedIntoItLeftAlive) {
    const TFont font = TahomaFont(11, FW_NORMAL);
    TMemoryDc dc = TMemoryDc::Create();
    ASSERT_TRUE(dc);
    const HDC handle = dc.Get();
    SelectObject(handle, font.Get());
    TMemoryDc moved = std::move(dc);
    EXPECT_FALSE(dc);
    EXPECT_EQ(GetCurrentObject(moved.Get(), OBJ_FONT), font.Get());
    moved.Reset();
    EXPECT_FALSE(Alive(handle));
    EXPECT_TRUE(Alive(font.Get()));
}

}  // namespace
