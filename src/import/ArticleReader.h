#pragma once

#include <string>
#include <string_view>

#include "import/ImportState.h"

class TGoodsTable;

// Raised when a barcode would need a number beyond the counter's 32-bit range.
inline constexpr const char* kBarCodeRangeExhausted =
    "Исчерпан диапазон значений генератора штрих-кода!";

// Turns the article lines in state.Lines (84- or 87-character lines, code page 866) into goods
// rows, name and barcode converted to UTF-8: appends one posted row per usable line and its code
// to state.IDList; advances the barcode counters for every line without a barcode, also for one
// then dropped for its empty name. Other lines are skipped silently. Errors of the table pass
// through.
void ReadArticleList(ImportState& state, TGoodsTable& goods);

// The barcode for a line's trimmed barcode text: the text itself when it is not empty (the
// counters stay); otherwise the prefix, zeros and BarCodeCounter cut to 13 characters, after which
// BarCodeCounter and GeneratedCount advance by 1. With state.Ean13 the prefix, zeros and counter
// make 12 digits and the EAN-13 check digit follows; a counter with more digits than the prefix
// leaves room for is never cut. Throws std::runtime_error kBarCodeRangeExhausted instead of going
// beyond 2147483647 or beyond the room.
std::string GenerateBarCode(ImportState& state, std::string_view text);
