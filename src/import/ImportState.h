#pragma once

#include <cstdint>
#include <string>

#include "import/IDList.h"
#include "import/ImportRecord.h"
#include "text/TextFile.h"

// The validated inputs and counters of one import run, shared by the two readers. Lives for one
// run only: the next run starts again from the start value.
struct ImportState {
    std::string Prefix;               // the barcode prefix exactly as typed (e.g. "0222")
    std::int32_t BarCodeCounter = 0;  // the number the barcode generator appends next
    std::int32_t GeneratedCount = 0;  // barcodes generated so far in this run
    std::int32_t NdsValue = 0;        // VAT rate in percent (0 leaves NDS empty)
    // Generated codes are the prefix and the counter in 12 digits and an EAN-13 check digit
    // (the prefix then holds digits only, checked before the run reads anything).
    bool Ean13 = false;
    // Set once the counter has been used at its largest value: it cannot advance, so the next
    // generation must fail instead of wrapping to a negative number.
    bool CounterExhausted = false;
    TIDList IDList;
    TLineList Lines;
    // Where the readers note what the checks need (null: nothing is noted). Outlives the run.
    TImportRecord* Record = nullptr;
};
