#pragma once

#include <string>

class IRunHost;
class TGoodsTable;
class TLineList;
struct ImportState;

// Reads the stock report into the rows the article list made: quantity and price of every usable
// 78-character line whose article code the ID list knows, under a progress display.
// Throws "Cannot open file ..." before the display appears when the file cannot be read; the
// record-lookup error and EInvalidOp after it (the display is terminated on every way out).
// `readAhead`, when given, holds the file's lines read already and is taken over.
void ReadStockReport(ImportState& state, TGoodsTable& goods, const std::string& fileName,
                     IRunHost& host, TLineList* readAhead = nullptr);
