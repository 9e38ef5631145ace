// The windows' places as the layer gives them to both front ends: the main window's controls and
// focus order against the shared table, the results viewer's controls as it grows, the scaling of
// design pixels, and which window a box belongs to.

#include "app/WindowLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "MainWindowCases.h"
#include "app/BoxOwner.h"

namespace {

const TMainControlPlace* Find(std::string_view name) {
    const auto* found = std::find_if(kMainControls.begin(), kMainControls.end(),
                                     [&](const TMainControlPlace& c) { return c.Name == name; });
    return found == kMainControls.end() ? nullptr : found;
}

class MainWindowControls : public testing::TestWithParam<TMainControlCase> {};

TEST_P(MainWindowControls, SitWhereTheWindowPlacesThem) {
    const TMainControlCase& c = GetParam();
    const TMainControlPlace* entry = Find(c.Name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Place, (TPlace{c.Left, c.Top, c.Width, c.Height}));
    EXPECT_EQ(&kMainControls[entry->Control], entry) << "the table is out of its enum's order";
}

INSTANTIATE_TEST_SUITE_P(Layer, MainWindowControls, testing::ValuesIn(kMainControlCases),
                         [](const auto& param) { return std::string(param.param.Name); });

TEST(MainWindowLayout, EveryControlHasACaseAndTheClientAreaItsSize) {
    EXPECT_EQ(kMainControls.size(), std::size(kMainControlCases));
    EXPECT_EQ(kMainClientWidth, kMainClientSize[0]);
    EXPECT_EQ(kMainClientHeight, kMainClientSize[1]);
}

TEST(MainWindowLayout, FocusOrderIsTheTabWalkUpToItsWrap) {
    std::vector<std::string_view> order;
    for (const TMainControl control : kMainFocusOrder) order.push_back(kMainControls[control].Name);
    order.push_back(order.front());
    EXPECT_EQ(order, std::vector<std::string_view>(std::begin(kMainFocusCases),
                                                   std::end(kMainFocusCases)));
}

struct TViewerCase {
    const char* Name;
    int Width, Height, Dpi;
    TViewerWidget Control;
    TPlace Want;
};

class ViewerPlaces : public testing::TestWithParam<TViewerCase> {};

TEST_P(ViewerPlaces, FollowTheAnchorsOfTheGrowingWindow) {
    const TViewerCase& c = GetParam();
    EXPECT_EQ(ViewerPlace(c.Control, c.Width, c.Height, TScale{c.Dpi}), c.Want);
}

// The grid keeps its distance to all four edges of the design's part; the buttons keep its bottom
// corners; the panel at the right keeps its width and its list grows in height.
INSTANTIATE_TEST_SUITE_P(
    Anchors, ViewerPlaces,
    testing::Values(
        TViewerCase{"grid_at_start", 1033, 537, 96, vwDBGrid1, {8, 30, 709, 463}},
        TViewerCase{"grid_grown", 1233, 637, 96, vwDBGrid1, {8, 30, 909, 563}},
        TViewerCase{"close_button_at_start", 1033, 537, 96, vwBitBtn1, {642, 504, 75, 25}},
        TViewerCase{"close_button_grown", 1233, 637, 96, vwBitBtn1, {842, 604, 75, 25}},
        TViewerCase{"save_button_grown", 1233, 637, 96, vwButton3, {8, 604, 162, 25}},
        TViewerCase{"find_box_grown", 1233, 637, 96, vwEdFind, {925, 26, 292, 21}},
        TViewerCase{"findings_caption_grown", 1233, 637, 96, vwLbFindings, {925, 72, 292, 110}},
        TViewerCase{"findings_list_at_start", 1033, 537, 96, vwLstFindings, {725, 184, 292, 345}},
        TViewerCase{"findings_list_grown", 1233, 637, 96, vwLstFindings, {925, 184, 292, 445}},
        TViewerCase{"label_stays", 1233, 637, 96, vwLabel1, {8, 8, 0, 0}},
        // At 144 dpi the start size is 1550 x 806 (1033 and 537 scaled, rounded).
        TViewerCase{"grid_at_150_percent", 1550, 806, 144, vwDBGrid1, {12, 45, 1064, 695}},
        TViewerCase{
            "findings_list_at_150_percent", 1550, 806, 144, vwLstFindings, {1088, 276, 438, 518}}),
    [](const auto& param) { return std::string(param.param.Name); });

struct TScaleCase {
    const char* Name;
    int Dpi, Pixels, Want;
};

class DesignPixels : public testing::TestWithParam<TScaleCase> {};

TEST_P(DesignPixels, ScaleByTheResolutionRoundedHalfAway) {
    EXPECT_EQ(TScale{GetParam().Dpi}(GetParam().Pixels), GetParam().Want);
}

INSTANTIATE_TEST_SUITE_P(Rounding, DesignPixels,
                         testing::Values(TScaleCase{"same_at_96", 96, 537, 537},
                                         TScaleCase{"half_rounds_up_at_120", 120, 2, 3},
                                         TScaleCase{"below_half_rounds_down_at_120", 120, 1, 1},
                                         TScaleCase{"exact_at_144", 144, 22, 33},
                                         TScaleCase{"negative_half_away_at_144", 144, -1, -2}),
                         [](const auto& param) { return std::string(param.param.Name); });

// Windows as the numbers a toolkit's handles would be; 0 is none.
struct TOwnerCase {
    const char* Name;
    TBoxOwnerQuery<int> Windows;
    int Want;
};

class BoxOwners : public testing::TestWithParam<TOwnerCase> {};

TEST_P(BoxOwners, AreTheActiveWindowOfTheProgramElseTheLastUsedElseTheMainWindow) {
    EXPECT_EQ(BoxOwner(GetParam().Windows), GetParam().Want);
}

constexpr int kHome = 1;
constexpr int kViewer = 2;
constexpr int kOther = 3;

INSTANTIATE_TEST_SUITE_P(
    Rule, BoxOwners,
    testing::Values(
        TOwnerCase{"main_window_active", {kHome, kHome, false, kViewer, true}, kHome},
        TOwnerCase{"viewer_active", {kHome, kViewer, true, kHome, true}, kViewer},
        TOwnerCase{"another_programs_window_active_viewer_used_last",
                   {kHome, kOther, false, kViewer, true},
                   kViewer},
        TOwnerCase{"none_active_viewer_used_last", {kHome, 0, false, kViewer, true}, kViewer},
        TOwnerCase{"last_used_hidden_or_disabled", {kHome, 0, false, kViewer, false}, kHome},
        TOwnerCase{"toolkit_knows_no_last_used", {kHome, kOther, false, 0, false}, kHome},
        TOwnerCase{"no_main_window", {0, kViewer, true, kViewer, true}, 0}),
    [](const auto& param) { return std::string(param.param.Name); });

// How far a control may grow to its right: up to the next control whose rows meet its own, less
// the gap, else the limit.
struct TRightLimitCase {
    const char* Name;
    TPlace Place;
    int Want;
};

class RightLimits : public testing::TestWithParam<TRightLimitCase> {};

TEST_P(RightLimits, StopAtTheNextControlOnTheSameRows) {
    // A box at 100..150 on rows 20..40 and one left of the control on the same rows.
    const TPlace others[] = {{100, 20, 50, 20}, {0, 20, 5, 20}};
    EXPECT_EQ(RightLimit(GetParam().Place, others, 300, 4), GetParam().Want);
}

INSTANTIATE_TEST_SUITE_P(
    Layer, RightLimits,
    testing::Values(TRightLimitCase{"same_rows_stop_at_the_box", {10, 25, 30, 10}, 96},
                    TRightLimitCase{"last_row_touching_the_boxs_top", {10, 11, 30, 10}, 96},
                    TRightLimitCase{"ending_on_the_boxs_top_row_misses_it", {10, 10, 30, 10}, 300},
                    TRightLimitCase{"starting_below_the_box", {10, 40, 30, 10}, 300},
                    TRightLimitCase{"right_of_the_box", {160, 25, 30, 10}, 300}),
    [](const auto& param) { return std::string(param.param.Name); });

// Where the main window opens: the screen's centre, its title bar kept on the work area.
struct TOpeningCase {
    const char* Name;
    int Width;
    int Height;
    TPlace Want;
};

class OpeningPlaces : public testing::TestWithParam<TOpeningCase> {};

TEST_P(OpeningPlaces, CentreOnTheScreenWithTheTitleBarOnTheWorkArea) {
    // A 1280 x 800 screen with a 40-pixel panel along its top.
    const TOpeningCase& c = GetParam();
    EXPECT_EQ(OpeningPlace(c.Width, c.Height, {0, 0, 1280, 800}, {0, 40, 1280, 760}), c.Want);
}

INSTANTIATE_TEST_SUITE_P(
    Layer, OpeningPlaces,
    testing::Values(TOpeningCase{"fits_centred", 516, 545, {382, 127, 516, 545}},
                    TOpeningCase{
                        "centred_top_just_on_the_work_area", 516, 720, {382, 40, 516, 720}},
                    TOpeningCase{"taller_than_the_work_area", 1026, 1083, {127, 40, 1026, 1083}},
                    TOpeningCase{"wider_than_the_screen", 1400, 545, {0, 127, 1400, 545}}),
    [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
