#pragma once

// The results viewer's findings list and find box as tables of steps, walked against the layer
// and through each front end's real window, over the example reports imported (101 with a wrong
// check digit, 102 reported at -3 and price 0, 103 generated), the keyboard in the grid at the
// first row's name.

#include <string>
#include <vector>

#include "app/FindBox.h"
#include "app/ResultsViewerController.h"

// The findings of the example reports, as the list shows them, and the caption over it.
inline const std::vector<std::string>& ExampleFindingLines() {
    static const std::vector<std::string> lines = {
        "Цена заменена на 1 | 102 | 2220000000001 | Молоко 3,2% | цена в отчете 0: установлена 1",
        "Отрицательный остаток заменен на 0 | 102 | 2220000000001 | Молоко 3,2% | остаток в "
        "отчете -3: установлен 0",
        "Штрих-код не прочтет сканер | 101 | 4601234567890 | Хлеб белый | неверная контрольная "
        "цифра (должна быть 3): сканер его не прочтет",
    };
    return lines;
}

inline constexpr const char* kExampleFindingsCaption =
    "Замечания перед загрузкой в ЛАРМИС:\nЦена заменена на 1: 1; Отрицательный остаток заменен "
    "на 0: 1; Штрих-код не прочтет сканер: 1";

// After the barcode of 101 is typed right (kFixedBarcode) and its row left.
inline constexpr const char* kFixedBarcode = "4601234567893";
inline constexpr const char* kFixedFindingsCaption =
    "Замечания перед загрузкой в ЛАРМИС:\nЦена заменена на 1: 1; Отрицательный остаток заменен на "
    "0: 1";

// A finding chosen: by a click on its line, or by Enter on the list's focused line.
struct TChooseStep {
    const char* Rule;
    int Line;
    bool ByEnter;
    int Row;  // the grid's current row afterwards (from 0); the keyboard is in the grid
};

inline const std::vector<TChooseStep>& ChooseSteps() {
    static const std::vector<TChooseStep> steps = {
        {"a stock line of 101 selects the first row", 2, false, 0},
        {"a price line of 102 selects the second row", 0, false, 1},
        {"Enter on the last line selects its row", 2, true, 0},
    };
    return steps;
}

// One step of the find box, each from the grid: Ctrl+F, the box's text replaced and Enter; Enter
// in the box on the text it holds; or F3.
enum TFindAction : std::uint8_t { faFind, faEnterAgain, faF3 };

struct TFindStep {
    const char* Rule;
    TFindAction Action;
    const char* Typed;  // faFind: the box's new text
    int Row;            // the grid's current row afterwards (from 0)
    const char* Status;
    TViewerControl Focus;  // where the keyboard is afterwards
};

inline const std::vector<TFindStep>& FindSteps() {
    static const std::vector<TFindStep> steps = {
        {"F3 before any text puts the keyboard into the box", faF3, nullptr, 0, "", vcFind},
        {"capitals find a Cyrillic name", faFind, "САХАР", 2, "", vcFind},
        {"F3 goes on past the end to the only match", faF3, nullptr, 2, TGridFind::kFindWrapped,
         vcGrid},
        {"an article code, after the last row", faFind, "101", 0, TGridFind::kFindWrapped, vcFind},
        {"a barcode", faFind, "2220000000001", 1, "", vcFind},
        {"Enter again on the same text goes on", faEnterAgain, nullptr, 1, TGridFind::kFindWrapped,
         vcFind},
        {"blanks around the same text change nothing", faFind, "  2220000000001 ", 1,
         TGridFind::kFindWrapped, vcFind},
        {"no match keeps the row", faFind, "сыр", 1, TGridFind::kFindNone, vcFind},
        {"F3 without a match keeps it too", faF3, nullptr, 1, TGridFind::kFindNone, vcGrid},
    };
    return steps;
}
