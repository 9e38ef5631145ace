#include "import/ImportRecord.h"

#include <algorithm>

bool TImportRecord::WasGenerated(std::string_view code) const {
    auto at = std::lower_bound(Generated.begin(), Generated.end(), code,
                               [](const std::string& a, std::string_view b) { return a < b; });
    return at != Generated.end() && *at == code;
}

void TImportRecord::Finish() {
    std::sort(Generated.begin(), Generated.end());
    Complete = true;
}
