#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/GoodsFinder.h"

class TFindingsList;

// The results viewer's find box over its grid, as every front end maps it: Enter in the box and
// F3. Each answer is the line shown beside the box (empty, TGridFind::kFindWrapped or
// TGridFind::kFindNone).
class TFindBox {
  public:
    explicit TFindBox(TGoodsGridController& grid) : Find(grid) {}

    // Enter in the box holding `text`: a new text finds from the grid's current row on; the same
    // text again goes on to the next row, as F3 does.
    std::string Enter(std::string_view text);
    // F3: the next row for the last text; nothing while no text was confirmed yet (the front end
    // then puts the keyboard into the box).
    std::optional<std::string> Next();

  private:
    TGridFind Find;
};

// The caption over the findings list: its title and, on the next line, the count per kind (or
// the one "none" line).
std::string FindingsCaption(const TFindingsList& list);
