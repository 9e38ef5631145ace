#include <atomic>

#include "PixelProbe.h"
#include "ViewerFixture.h"
#include "progress/ViewerRegistry.h"

namespace {

constexpr const char* kPrefix = "TProgressViewer.ChangeStringParams -> ";

TViewerString Line(std::int32_t key, std::string text, TAlignment alignment, bool wrap,
                   std::string font, std::int32_t size, TFontStyles style, TColor colour) {
    TViewerString line;
    line.Key = key;
    line.Text = std::move(text);
    line.Alignment = alignment;
    line.WordWrap = wrap;
    line.FontName = std::move(font);
    line.FontSize = size;
    line.FontStyle = style;
    line.Color = colour;
    return line;
}

// The lines without their measured heights.
std::vector<TViewerString> Unmeasured(std::vector<TViewerString> lines) {
    for (auto& line : lines) {
        line.Height = 0;
    }
    return lines;
}

std::string ChangeFailure(TProgressViewer* viewer, std::int32_t key,
                          const std::vector<TStringParam>& params,
                          const std::vector<TStringParamValue>& values) {
    try {
        viewer->ChangeStringParams(key, params, values);
    } catch (const EProgressException& failure) {
        return failure.what();
    }
    return "no failure";
}

TEST(UnitSettings, DefaultsAreTheSystemTexts) {
    EXPECT_EQ(ShowPercentText, true);
    EXPECT_EQ(RefreshInterval, 50);
    EXPECT_EQ(ShowElapsedTime, true);
    EXPECT_EQ(BarColor, 0x00FFFF00u);
    EXPECT_EQ(CancelCaption, "Отмена (Esc)");
    EXPECT_EQ(AbortedMessage, "Прервано пользователем!");
    EXPECT_EQ(WaitLine1, "Выполняется длительная операция. Она может");
    EXPECT_EQ(WaitLine2, "продлиться несколько минут. Пожалуйста, подождите!");
    EXPECT_EQ(ElapsedFormat, "Общее время: %s");
    EXPECT_EQ(DefaultFontName, "MS Sans Serif");
    EXPECT_EQ(DefaultFontColor, 0u);
    EXPECT_EQ(DefaultFontSize, 8);
    EXPECT_EQ(DefaultFontStyle, 0);
}

TEST_F(ViewerTest, ConstructorFailsWhenTheClassIsNotRegistered) {
    ClassRegistered = false;
    std::string message;
    try {
        Start();
    } catch (const EProgressException& failure) {
        message = failure.what();
    }
    ClassRegistered = true;
    EXPECT_EQ(message, "Класс окна визуализации \"ProgressViewerFormClass\" не зарегистрирован!");
    EXPECT_EQ(LiveViewerCount(), 0u);
}

TEST_F(ViewerTest, NewViewerHasTheFiveStandardLinesAndAKey500LineLandsBeforeTheSpacer) {
    AppName = "ЛАРМИС";
    TProgressViewer* viewer = Start("Сохранение в DBF...");
    viewer->PutString(500, "Пятьсот");
    const std::vector<TViewerString> want = {
        Line(-1, "ЛАРМИС", taCenter, false, "MS Sans Serif", 12, fsBold, clBlack),
        Line(0, "Сохранение в DBF...", taCenter, false, "MS Sans Serif", 14, fsBold, clBlack),
        Line(500, "Пятьсот", taLeftJustify, false, "MS Sans Serif", 8, 0, clBlack),
        Line(1000, " ", taCenter, false, "MS Sans Serif", 8, fsBold, clBlack),
        Line(1001, WaitLine1, taCenter, false, "MS Sans Serif", 10, fsBold, clBlack),
        Line(1002, WaitLine2, taCenter, false, "MS Sans Serif", 10, fsBold, clBlack),
    };
    EXPECT_EQ(Unmeasured(viewer->GetStrings()), want);
}

TEST_F(ViewerTest, EmptyCaptionBecomesOneBlankOfCaptionHeight) {
    TProgressViewer* named = Start("Имя");
    TProgressViewer* blank = Start("");
    FrameAfter(WindowOf(1), 1);
    FrameAfter(WindowOf(2), 1);
    const auto blankLines = blank->GetStrings();
    ASSERT_EQ(blankLines[1].Key, 0);
    EXPECT_EQ(blankLines[1].Text, " ");
    EXPECT_EQ(blankLines[1].Height, named->GetStrings()[1].Height);
    EXPECT_GT(blankLines[1].Height, blankLines[0].Height);  // 14 pt over 12 pt
}

TEST_F(ViewerTest, WindowIs450WideAndTextHeightPlus70HighCentredAboveTheWorkAreaBottom) {
    TProgressViewer* viewer = Start();
    const TViewerWindowHandle window = WindowOf();
    const TFrameImage frame = FrameAfter(window, 1);
    const int text = TextHeight(viewer);
    EXPECT_GT(text, 60);
    EXPECT_EQ(frame.width(), 450);
    EXPECT_EQ(frame.height(), text + 70);
    const TRecordedWindow recorded = Recorder->Window(window);
    EXPECT_EQ(recorded.Title, "ProgressWnd");
    EXPECT_EQ(recorded.Created, (TRect{275, 800 - 70 - 100, 450, 70}));
    ASSERT_EQ(recorded.Placements.size(), 1u);  // one resize to fit the text, then none
    EXPECT_EQ(recorded.Placements[0], (TRect{275, 800 - (text + 70) - 100, 450, text + 70}));
    EXPECT_EQ(RegisteredWindowCount(), 1u);
}

TEST_F(ViewerTest, BarTopIs8PixelsBelowTheTextBlock) {
    TProgressViewer* viewer = Start();
    const TFrameImage frame = FrameAfter(WindowOf(), 1);
    const int textBottom = 2 + TextHeight(viewer);  // first row below the block
    EXPECT_EQ(Pixel(frame, 20, textBottom + 8), kBlack);
    EXPECT_EQ(Pixel(frame, 20 + 409, textBottom + 8 + 19), kBlack);
    EXPECT_EQ(Pixel(frame, 20, textBottom + 7), kFace);
    EXPECT_EQ(Pixel(frame, 19, textBottom + 8), kFace);
}

TEST_F(ViewerTest, PercentDrawsTheDonePartOnTheFramesAndOutOfRangeValuesAreWrittenBack) {
    TProgressViewer* viewer = Start();
    const TViewerWindowHandle window = WindowOf();
    const int barTop = FrameAfter(window, 1).height() - 60;
    const std::tuple<double, double, int> cases[] = {
        {37.9, 37.9, 153}, {150, 100, 406}, {-5, 0, 0}, {100, 100, 406}};
    for (const auto& [written, read, done] : cases) {
        viewer->Percent = written;
        const TFrameImage frame = FrameAfter(window);
        EXPECT_EQ(CountOther(frame, barTop + 3, 22, 428, kWhite), done) << written;
        EXPECT_EQ(viewer->Percent.load(), read) << written;
    }
}

TEST_F(ViewerTest, NoPercentageNumberNorElapsedLineWhenSwitchedOff) {
    for (const bool shown : {true, false}) {
        ShowPercentText = shown;
        ShowElapsedTime = shown;
        TProgressViewer* viewer = Start();
        viewer->Percent = 50;
        const TFrameImage frame = FrameAfter(WindowOf(shown ? 1 : 2), 3);
        const int h = frame.height();
        // Right of the done part, inside the bar; and the elapsed band under the bar.
        EXPECT_EQ(InkBox(frame, TRect{20 + 206, h - 60 + 3, 180, 14}).IsEmpty(), !shown);
        EXPECT_EQ(InkBox(frame, TRect{1, h - 25, 448, 14}).IsEmpty(), !shown);
        End(viewer);
    }
}

TEST_F(ViewerTest, ElapsedLineStartsAt20WithTheCancelButtonAndEndsAt20BeforeTheEdgeWithout) {
    TProgressViewer* viewer = Start("Отмена", true, false);
    const TViewerWindowHandle window = WindowOf();
    TFrameImage frame = FrameAfter(window, 1);
    const int h = frame.height();
    TRect ink = InkBox(frame, TRect{1, h - 25, 448, 14});
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_NEAR(ink.Right() - 1, 450 - 21, 2);
    EXPECT_GT(ink.Left, 200);

    viewer->RequestedCancelVisible = true;
    frame = FrameAfter(window);
    ink = InkBox(frame, TRect{1, h - 25, 450 - 121, 14});
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_NEAR(ink.Left, 20, 2);
    EXPECT_EQ(Pixel(frame, 450 - 120, h - 30), kWhite);  // the button's lit corner
}

// The block's left edges in a window's kept frames (nullopt: not visible). Its left edge is its
// last aqua column - 38, or its first - 1 when the bar cuts it on the right.
std::vector<std::optional<int>> BlockPositions(const TRecordedWindow& recorded) {
    std::vector<std::optional<int>> positions;
    for (const TFrameImage& frame : recorded.Frames) {
        const int barRow = frame.height() - 60 + 3;
        const auto run = ColourRun(frame.copy(20, 0, 410, frame.height()), barRow, kAqua);
        if (!run) {
            positions.push_back(std::nullopt);
        } else {
            positions.push_back(run->second < 408 ? run->second - 38 : run->first - 1);
        }
    }
    return positions;
}

TEST_F(ViewerTest, MarqueeBlockOfANewViewerStartsAt10) {
    Start("Поиск", false);
    const TViewerWindowHandle window = WindowOf();
    ASSERT_TRUE(Recorder->WaitForFrames(window, 1));
    const auto positions = BlockPositions(Recorder->Window(window, true));
    EXPECT_EQ(positions.front(), 10);
}

TEST_F(ViewerTest, MarqueeBlockMovesTenPixelsPerFrameAndReentersFromTheLeft) {
    RefreshInterval = 1;
    Start("Поиск", false);
    const TViewerWindowHandle window = WindowOf();
    // One pass takes 46 ticks (10 .. 410, -40 .. 0); the 64 kept frames hold a wrap.
    ASSERT_TRUE(Recorder->WaitForFrames(window, 70));
    const auto positions = BlockPositions(Recorder->Window(window, true));
    ASSERT_EQ(positions.size(), TWindowRecorder::kKeptFrames);
    bool reentered = false;
    for (std::size_t i = 1; i < positions.size(); ++i) {
        if (positions[i - 1] && positions[i]) {
            EXPECT_EQ(*positions[i] - *positions[i - 1], 10) << "frame " << i;
        } else if (!positions[i - 1] && positions[i] && i >= 3) {
            // After the hidden positions 410 and -40 the block comes in at -30.
            EXPECT_EQ(*positions[i], -30);
            EXPECT_EQ(positions[i - 3], 400);
            EXPECT_EQ(positions[i - 2], std::nullopt);
            reentered = true;
        }
    }
    EXPECT_TRUE(reentered);
}

TEST_F(ViewerTest, WordWrappedLineGrowsTheWindowByItsLinesAndAnUnwrappedOneByOneLine) {
    std::string words;
    for (int i = 0; i < 60; ++i) {
        words += "строка ";
    }
    TProgressViewer* viewer = Start();
    const TViewerWindowHandle window = WindowOf();
    const int before = FrameAfter(window, 1).height();
    viewer->PutString(2000, words, taLeftJustify, false);
    const int unwrapped = FrameAfter(window).height();
    viewer->PutString(2000, words, taLeftJustify, true);
    const int wrapped = FrameAfter(window).height();
    const auto lines = viewer->GetStrings();
    ASSERT_EQ(lines.back().Key, 2000);
    EXPECT_EQ(wrapped, TextHeight(viewer) + 70);
    EXPECT_GE(wrapped - before, 3 * (unwrapped - before));
    EXPECT_GT(unwrapped, before);
}

TEST_F(ViewerTest, RequestedWidth100Gives225AndNoRebuildLoop) {
    TProgressViewer* viewer = Start();
    const TViewerWindowHandle window = WindowOf();
    FrameAfter(window, 1);
    viewer->RequestedWidth = 100;
    const TFrameImage frame = FrameAfter(window);
    EXPECT_EQ(frame.width(), 225);
    const std::size_t placed = Recorder->Window(window).Placements.size();
    EXPECT_EQ(Recorder->Window(window).Placements.back().Width, 225);
    FrameAfter(window, 5);
    EXPECT_EQ(Recorder->Window(window).Placements.size(), placed);
    EXPECT_EQ(Recorder->Window(window).Placements.back().Left, (1000 - 225) / 2);
}

TEST_F(ViewerTest, PutStringReplacesEveryFieldAndResolvesWhatIsNotGiven) {
    TProgressViewer* viewer = Start();
    viewer->PutString(7, "Всё задано", taRightJustify, true, 0x000000FF, fsItalic, 20, "Arial");
    EXPECT_EQ(Unmeasured(viewer->GetStrings())[2],
              Line(7, "Всё задано", taRightJustify, true, "Arial", 20, fsItalic, 0x000000FF));

    // Nothing given: the unit settings.
    DefaultFontName = "Tahoma";
    DefaultFontSize = 9;
    DefaultFontColor = 0x00123456;
    DefaultFontStyle = fsUnderline;
    viewer->PutString(7, "Ничего");
    EXPECT_EQ(Unmeasured(viewer->GetStrings())[2],
              Line(7, "Ничего", taLeftJustify, false, "Tahoma", 9, fsUnderline, 0x00123456));

    // The viewer's own defaults come first.
    viewer->DefFontName = "Courier";
    viewer->DefFontSize = 11;
    viewer->DefFontColor = 0x00FF0000;
    viewer->DefFontStyle = fsBold | fsStrikeOut;
    viewer->PutString(7, "Свои");
    EXPECT_EQ(Unmeasured(viewer->GetStrings())[2], Line(7, "Свои", taLeftJustify, false, "Courier",
                                                        11, fsBold | fsStrikeOut, 0x00FF0000));
    EXPECT_EQ(viewer->GetStrings().size(), 6u);
}

TEST_F(ViewerTest, ChangeStringParamsSetsTheNamedFields) {
    TProgressViewer* viewer = Start();
    viewer->PutString(3, "Было");
    viewer->ChangeStringParams(
        3, {spText, spAlignment, spWordWrap, spFontName, spFontSize, spFontStyle, spColor},
        {std::string("Стало"), 0x102, true, std::string("Tahoma"), 16, 0x103, 0x00ABCDEF});
    EXPECT_EQ(Unmeasured(viewer->GetStrings())[2],
              Line(3, "Стало", taCenter, true, "Tahoma", 16, fsBold | fsItalic, 0x00ABCDEF));
    // An unknown code is skipped, its value too.
    viewer->ChangeStringParams(3, {static_cast<TStringParam>(7), spText},
                               {std::string("?"), std::string("Снова")});
    EXPECT_EQ(viewer->GetStrings()[2].Text, "Снова");
}

TEST_F(ViewerTest, ChangeStringParamsFailuresLeaveTheLineUnchanged) {
    TProgressViewer* viewer = Start();
    viewer->PutString(3, "Было", taLeftJustify, false, clDefault, fsAllStyles, 9);
    // Heights are the viewer thread's measurements and may arrive at any moment; the fields are
    // what a failed change must leave alone.
    const auto before = Unmeasured(viewer->GetStrings());
    const std::string integer = "Значение не является целым числом";
    const std::string text = "Значение не является строкой";
    const std::string boolean = "Значение не является логическим";
    const std::string count = "Количество параметров и соответствующих им значений не совпадают!";
    const struct {
        std::int32_t Key;
        std::vector<TStringParam> Params;
        std::vector<TStringParamValue> Values;
        std::string Message;
    } cases[] = {
        {5, {spText}, {std::string("x")}, "Строка с номером 5 не найдена!"},
        {-7, {}, {1, 2}, "Строка с номером -7 не найдена!"},
        {3, {spText, spFontSize}, {std::string("x")}, count},
        {3, {spText}, {std::string("x"), 1}, count},
        {3, {spText, spFontSize}, {std::string("Новое"), std::string("12")}, integer},
        {3, {spFontSize, spText}, {12, 12}, text},
        {3, {spWordWrap}, {1}, boolean},
        {3, {spColor}, {true}, integer},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChangeFailure(viewer, c.Key, c.Params, c.Values), kPrefix + c.Message);
        EXPECT_EQ(Unmeasured(viewer->GetStrings()), before);
    }
}

TEST_F(ViewerTest, SetCaptionChangesOnlyTheTextOfLine0) {
    TProgressViewer* viewer = Start("Первый");
    viewer->ChangeStringParams(0, {spFontSize}, {20});
    viewer->SetCaption("Второй");
    EXPECT_EQ(Unmeasured(viewer->GetStrings())[1],
              Line(0, "Второй", taCenter, false, "MS Sans Serif", 20, fsBold, clBlack));
}

TEST_F(ViewerTest, EscAndButtonClicksCancelAndCallOnCancelWithoutEndingTheViewer) {
    TProgressViewer* viewer = Start("Отменяемая", true, true);
    std::atomic<int> calls{0};
    std::atomic<TProgressViewer*> seen{nullptr};
    viewer->OnCancel = [&](TProgressViewer* sender) {
        seen = sender;
        ++calls;
    };
    const TViewerWindowHandle window = WindowOf();
    const int h = FrameAfter(window, 1).height();
    EXPECT_FALSE(viewer->Cancelled);

    const struct {
        TWindowEvent Event;
        int Calls;
    } steps[] = {
        {{wekClick, 10, 10}, 0},             // outside the button
        {{wekClick, 450 - 121, h - 20}, 0},  // just left of it
        {{wekClose, 0, 0}, 0},               // a close request does nothing
        {{wekEscape, 0, 0}, 1},              //
        {{wekEscape, 0, 0}, 2},              // a repeated key cancels again
        {{wekClick, 450 - 120, h - 30}, 3},  // the button's top-left pixel
        {{wekClick, 450 - 21, h - 6}, 4},    // its bottom-right pixel
        {{wekClick, 450 - 20, h - 6}, 4},    // just right of it
    };
    for (const auto& step : steps) {
        Recorder->Send(window, step.Event);
        FrameAfter(window);
        EXPECT_EQ(calls, step.Calls) << step.Event.Kind << " " << step.Event.X;
        EXPECT_EQ(viewer->Cancelled.load(), step.Calls > 0);
    }
    EXPECT_EQ(seen.load(), viewer);
    const TRecordedWindow recorded = Recorder->Window(window);
    EXPECT_FALSE(recorded.Hidden);
    EXPECT_FALSE(recorded.Destroyed);
}

TEST_F(ViewerTest, ClickWhereAHiddenButtonWouldBeDoesNotCancelAndAThrowingOnCancelIsSwallowed) {
    TProgressViewer* viewer = Start("Без кнопки", true, false);
    viewer->OnCancel = [](TProgressViewer*) { throw std::runtime_error("owner failed"); };
    const TViewerWindowHandle window = WindowOf();
    const int h = FrameAfter(window, 1).height();
    Recorder->Send(window, {wekClick, 450 - 70, h - 18});
    FrameAfter(window);
    EXPECT_FALSE(viewer->Cancelled);
    Recorder->Send(window, {wekEscape, 0, 0});
    const int frames = Recorder->Window(window).FrameCount;
    FrameAfter(window, 3);
    EXPECT_TRUE(viewer->Cancelled);
    EXPECT_GE(Recorder->Window(window).FrameCount, frames + 3);
}

TEST_F(ViewerTest, WorkMethodRunsInItsOwnThreadOnceTheWindowIsShown) {
    std::atomic<bool> hadWindow{false};
    std::atomic<TProgressViewer*> given{nullptr};
    std::atomic<bool> otherThread{false};
    const auto owner = std::this_thread::get_id();
    TProgressViewer* viewer = Start("Работа", true, false, [&](TProgressViewer* v) {
        hadWindow = Recorder->Handles().size() == 1;
        otherThread = std::this_thread::get_id() != owner;
        v->Percent = 42;
        given = v;
    });
    ASSERT_TRUE(Recorder->WaitUntil([&] { return given.load() != nullptr; }));
    EXPECT_EQ(given.load(), viewer);
    EXPECT_TRUE(hadWindow);
    EXPECT_TRUE(otherThread);
    EXPECT_EQ(
        CountOther(FrameAfter(WindowOf()), FrameAfter(WindowOf()).height() - 57, 22, 428, kWhite),
        static_cast<int>(406 * 42 / 100));
}

}  // namespace
