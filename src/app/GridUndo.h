#pragma once

#include <optional>
#include <vector>

#include "import/GoodsTable.h"

// Where an undone or redone step left the table: its row (1-based; 0 when the table is empty) and
// the first column it changed (-1: the whole row came or went).
struct TUndoPlace {
    int Row = 0;
    int Column = -1;
    bool operator==(const TUndoPlace&) const = default;
};

// The results grid's undo history: every stored change of the goods table since the import is a
// step (an edited row when posted, an inserted row once posted with its values, a deleted row with
// its values at its place), taken back and made again through the table's own operations, so that
// its views and the findings follow. A new step drops what could have been redone; emptying the
// table (an import) starts afresh. A step holds that row's values only.
class TGridUndo final : private IGoodsChangeLog {
  public:
    explicit TGridUndo(TGoodsTable& table);
    ~TGridUndo() override;
    TGridUndo(const TGridUndo&) = delete;
    TGridUndo& operator=(const TGridUndo&) = delete;

    // Changes stored between Pause and Resume are no steps (an import's own rows); calls nest.
    void Pause() { ++Paused; }
    void Resume() { Paused = Paused > 0 ? Paused - 1 : 0; }
    void Clear();

    int UndoCount() const { return static_cast<int>(Done.size()); }
    int RedoCount() const { return static_cast<int>(Undone.size()); }
    // Takes back the last step, or makes the last undone one again. Nothing when there is no such
    // step or the table is not browsing.
    std::optional<TUndoPlace> Undo();
    std::optional<TUndoPlace> Redo();

  private:
    enum TStepKind : std::uint8_t { skEdit, skInsert, skDelete };
    struct TStep {
        TStepKind Kind;
        int Row;
        TGoodsRowValues Before;  // an edited row as it was
        TGoodsRowValues After;   // as it became; the inserted or deleted row's values
    };

    void GoodsEditStarted(int row) override;
    void GoodsPosted(int row, bool inserted) override;
    void GoodsDeleting(int row) override;
    void GoodsCleared() override { Clear(); }

    void Record(TStep step);
    // Applies `step` forwards (`back` false) or backwards.
    // Takes the last step of `from`, replays it (backwards for an undo) and keeps it in `to`.
    std::optional<TUndoPlace> Replay(std::vector<TStep>& from, std::vector<TStep>& to, bool back);
    std::optional<TUndoPlace> Apply(const TStep& step, bool back);
    void PutRow(int row, const TGoodsRowValues& values);
    void TakeRow(int row);

    TGoodsTable& Goods;
    std::vector<TStep> Done;
    std::vector<TStep> Undone;
    std::optional<TGoodsRowValues> EditBefore;  // the row being edited as it was
    int EditRow = 0;
    int Paused = 0;
    bool Applying = false;
};
