#pragma once

#include <string>
#include <vector>

#include "convert/GoodsChecks.h"

class TGoodsTable;
struct TImportRecord;

// The converter's --check output: one line per finding, its fields separated by tabs (kind, ID,
// barcode, detail; a stock line has no barcode), then one line per kind, "summary", the kind and
// its count. Tabs and line breaks inside a field become blanks, so every line keeps four fields
// (three for a summary).
std::string CheckReportText(const std::vector<TFinding>& findings, const TGoodsTable& goods,
                            const TImportRecord& record);
