#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/IDList.h"

// What one import run learnt beyond the goods rows, for the checks before the load: which article
// codes the stock report gave values to and the values as reported (before the rules made a
// negative quantity 0 and a price of 0 or below 1), the stock lines whose code named no article,
// and the barcodes the generator made. Kept by code, not by row, so it still answers after the
// operator has inserted, moved or deleted rows. Nothing of it reaches the written tables.
struct TImportRecord {
    // The values one article received: the last usable line's, as the report gave them.
    struct TReported {
        std::int64_t Quantity = 0;  // fixed-point amount as read (may be negative)
        std::int64_t Price = 0;     // fixed-point amount as read (0 or below became 1)
    };
    // A stock line whose code no article carries: its 1-based line number and the code.
    struct TUnknownLine {
        std::size_t Line = 0;
        std::int32_t Id = 0;
    };

    bool Complete = false;          // an import run ended without error and filled all of this
    bool HasStockReport = false;    // false: every row got the defaults (price 1, quantity 0)
    TIDList Named;                  // codes that received values, in the order first received
    std::vector<TReported> Values;  // parallel to Named
    std::vector<TUnknownLine> UnknownLines;
    std::vector<std::string> Generated;  // sorted once the run ends

    void Clear() { *this = TImportRecord(); }

    // An article (its first row) received `values`; a later line with the same code wins.
    void Receive(std::int32_t id, TReported values) {
        if (auto at = Named.Find(id)) {
            Values[*at] = values;
            return;
        }
        Named.Add(id);
        Values.push_back(values);
    }
    // The values `id` received, or null when the stock report gave it none.
    const TReported* ReceivedBy(std::int32_t id) const {
        auto at = Named.Find(id);
        return at ? &Values[*at] : nullptr;
    }
    // Whether the generator made `code` in this run (Generated must be sorted).
    bool WasGenerated(std::string_view code) const;
    // Sorts what a lookup needs sorted and marks the record complete.
    void Finish();
};
