#include "cli/CheckReport.h"

#include "import/GoodsTable.h"
#include "import/ImportRecord.h"

namespace {

void AppendField(std::string& out, std::string_view text) {
    for (char c : text) out += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

}  // namespace

std::string CheckReportText(const std::vector<TFinding>& findings, const TGoodsTable& goods,
                            const TImportRecord& record) {
    std::string out;
    for (const TFinding& f : findings) {
        out += CheckKindKey(f.Kind);
        out += '\t';
        out += std::to_string(f.Id);
        out += '\t';
        if (f.Row > 0) AppendField(out, goods.TextViewAt(f.Row, gfKOD));
        out += '\t';
        AppendField(out, FindingDetail(f, record));
        out += '\n';
    }
    std::array<int, kCheckKindCount> counts = CountByKind(findings);
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        out += "summary\t";
        out += CheckKindKey(static_cast<TCheckKind>(kind));
        out += '\t';
        out += std::to_string(counts[static_cast<std::size_t>(kind)]);
        out += '\n';
    }
    return out;
}
