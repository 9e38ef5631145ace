#include "app/Shell.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "AppSupport.h"

namespace {

struct TDisplayCase {
    const char* Name;
    std::string Message;
    std::string Shown;
};

class ErrorDisplayRule : public testing::TestWithParam<TDisplayCase> {};

TEST_P(ErrorDisplayRule, AddsAFullStopAfterACharacterAboveIt) {
    TCallLog log;
    TRecordingShell shell(log);
    const bool ended = RunHandler(shell, [] { throw std::runtime_error(GetParam().Message); });
    EXPECT_FALSE(ended);
    ASSERT_EQ(shell.Boxes.size(), 1u);
    EXPECT_EQ(shell.Boxes[0].Icon, diError);
    EXPECT_EQ(shell.Boxes[0].Title, "Kelva2larmis");
    EXPECT_EQ(shell.Boxes[0].Text, GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, ErrorDisplayRule,
    testing::Values(TDisplayCase{"ExclamationMarkGetsNoFullStop", "Файл ARTICLE.TXT не найден!",
                                 "Файл ARTICLE.TXT не найден!"},
                    TDisplayCase{"CyrillicLetterGetsAFullStop", "Ошибка при поиске записи",
                                 "Ошибка при поиске записи."},
                    TDisplayCase{"DigitGetsAFullStop", "value 5", "value 5."},
                    TDisplayCase{"FullStopStaysSingle", "Done.", "Done."},
                    TDisplayCase{"QuoteIsBelowTheFullStop",
                                 "'12,5' is not a valid floating point value for field 'RPRICE'",
                                 "'12,5' is not a valid floating point value for field 'RPRICE'"},
                    TDisplayCase{"HyphenIsBelowTheFullStop", "a -", "a -"},
                    TDisplayCase{"SlashIsAboveTheFullStop", "a/", "a/."},
                    TDisplayCase{"EmptyMessageStaysEmpty", "", ""}),
    [](const testing::TestParamInfo<TDisplayCase>& param) { return param.param.Name; });

TEST(Shell, ErrorDisplayIsTitledWithTheProgramsOwnName) {
    TCallLog log;
    TRecordingShell shell(log, "/usr/local/bin/kelva2larmis");
    ShowErrorDisplay(shell, "Ошибка");
    ASSERT_EQ(shell.Boxes.size(), 1u);
    EXPECT_EQ(shell.Boxes[0].Title, "kelva2larmis");
}

TEST(Shell, AnExceptionOfNoKnownKindIsAnUnknownError) {
    TCallLog log;
    TRecordingShell shell(log);
    RunHandler(shell, [] { throw 42; });
    EXPECT_EQ(shell.Texts(), std::vector<std::string>{"Unknown error."});
}

TEST(Shell, HandlerWithoutErrorShowsNothing) {
    TCallLog log;
    TRecordingShell shell(log);
    int runs = 0;
    EXPECT_TRUE(RunHandler(shell, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(shell.Boxes.empty());
}

TEST(Shell, ProgressWindowFollowsThePercentAndClosesOnce) {
    TCallLog log;
    TRecordingShell shell(log);
    std::unique_ptr<IProgressSink> sink = ProgressSinkOf(shell.OpenProgress("Шаг", true));
    sink->SetPercent(12.5);
    sink->SetPercent(60.0);
    sink->Terminate();
    sink->Terminate();
    sink->SetPercent(99.0);
    sink.reset();
    ASSERT_EQ(shell.Progress.size(), 1u);
    EXPECT_EQ(shell.Progress[0]->Percents, (std::vector<double>{12.5, 60.0}));
    EXPECT_EQ(shell.Progress[0]->Closes, 1);
}

TEST(Shell, ProgressWindowLeftWithoutTerminateClosesWhenTheSinkGoes) {
    TCallLog log;
    TRecordingShell shell(log);
    {
        std::unique_ptr<IProgressSink> sink = ProgressSinkOf(shell.OpenProgress("Шаг", false));
        EXPECT_EQ(shell.Progress[0]->Closes, 0);
    }
    EXPECT_EQ(shell.Progress[0]->Closes, 1);
}

}  // namespace
