#include "app/FindBox.h"

#include "app/FindingsList.h"
#include "app/WindowTexts.h"
#include "text/Trim.h"

std::string TFindBox::Enter(std::string_view text) {
    const std::string_view query = Trim(text);
    return query == Find.Query() ? Find.FindNext() : Find.Find(query);
}

std::optional<std::string> TFindBox::Next() {
    if (!Find.CanFindNext()) return std::nullopt;
    return Find.FindNext();
}

std::string FindingsCaption(const TFindingsList& list) {
    return std::string(kFindingsLabel) + '\n' + list.SummaryText();
}
