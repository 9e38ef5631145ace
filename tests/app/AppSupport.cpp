#include "AppSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "text/CodePage.h"
#include "text/Trim.h"

TTempDir::TTempDir() {
    std::random_device random;
    Dir = std::filesystem::temp_directory_path() /
          ("k2l-app-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(Dir);
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Dir, ignored);
}

void AddRow(TGoodsTable& goods, const char* id, const char* name, const char* kod) {
    goods.AppendRow();
    goods.SetText(gfID, id);
    goods.SetText(gfNAME, name);
    goods.SetText(gfKOD, kod);
    goods.PostRow();
}

void CopyFixture(const char* fixture, const std::filesystem::path& folder, const char* name) {
    std::filesystem::copy_file(std::filesystem::path(K2L_TEST_DATA) / fixture,
                               folder / PathOf(name),
                               std::filesystem::copy_options::overwrite_existing);
}

namespace {

class TRecordingWindow final : public IProgressWindow {
  public:
    TRecordingWindow(std::shared_ptr<TRecordingShell::TProgress> record, TCallLog& log)
        : Record(std::move(record)), Log(log) {}
    void SetPercent(double percent) override { Record->Percents.push_back(percent); }
    void Close() override {
        ++Record->Closes;
        Log.push_back("progress close|" + Record->Caption);
    }

  private:
    std::shared_ptr<TRecordingShell::TProgress> Record;
    TCallLog& Log;
};

}  // namespace

void TRecordingShell::ShowBox(TDialogIcon icon, const std::string& title, const std::string& text) {
    Boxes.push_back({icon, title, text});
    Log.push_back("box " + std::to_string(icon) + "|" + title + "|" + text);
    if (WhileBoxIsUp) WhileBoxIsUp();
}

bool TRecordingShell::Confirm(const std::string& title, const std::string& text) {
    Boxes.push_back({diQuestion, title, text});
    Log.push_back("confirm|" + title + "|" + text);
    if (WhileBoxIsUp) WhileBoxIsUp();
    if (ConfirmAnswers.empty()) return false;
    const bool answer = ConfirmAnswers.front();
    ConfirmAnswers.pop_front();
    return answer;
}

std::unique_ptr<IProgressWindow> TRecordingShell::OpenProgress(const std::string& caption,
                                                               bool percentMode) {
    auto record = std::make_shared<TProgress>();
    record->Caption = caption;
    record->PercentMode = percentMode;
    Progress.push_back(record);
    Log.push_back("progress open|" + caption);
    return std::make_unique<TRecordingWindow>(record, Log);
}

std::vector<std::string> TRecordingShell::Texts() const {
    std::vector<std::string> texts;
    for (const TBox& box : Boxes) texts.push_back(box.Text);
    return texts;
}

TMainInputs TRecordingView::Inputs() const {
    Log.push_back("inputs");
    return Typed;
}

void TRecordingView::HideCount() {
    CountVisible = false;
    Log.push_back("hide count");
}

void TRecordingView::ShowCount(const std::string& text) {
    CountVisible = true;
    CountText = text;
    Log.push_back("show count|" + text);
}

void TRecordingView::ShowViewer() {
    ViewerVisible = true;
    Log.push_back("show viewer");
}

void TRecordingView::HideViewer() {
    ViewerVisible = false;
    Log.push_back("hide viewer");
}

TFakeGrid::TFakeGrid(TGoodsTable& goods, const TCurrencyFormat& currency, IShell& shell)
    : Own(std::in_place, goods, currency, shell), Control(*Own) {
    Attach();
}

TFakeGrid::TFakeGrid(TGoodsGridController& control) : Control(control) {
    Attach();
}

void TFakeGrid::Attach() {
    const TGoodsTable& goods = Control.Table();
    Control.SetView(this);
    ShownRows = Control.RowCount();
    if (ShownRows > 0 && goods.RowNumber() > 0) {
        Row = goods.RowNumber() - 1;
        Column = 0;
    }
}

void TFakeGrid::Select(int row, int column) {
    if (!Control.Clicked()) return;
    SetCurrentCell(row, column);
}

void TFakeGrid::OpenEditor() {
    if (!Control.CanEdit(Row, Column)) return;
    EditorOpen = true;
    EditorRow = Row;
    EditorText = Control.CellEditText(Row, Column);
    Control.EditorOpened(Row, Column);
}

void TFakeGrid::Type(const std::string& text) {
    if (!EditorOpen) OpenEditor();
    if (!EditorOpen) return;
    const int width = TGoodsGridController::EditorMaxLength(Column);
    EditorText = width > 0 ? std::string(Utf8Left(text, static_cast<std::size_t>(width))) : text;
    Control.EditorTextChanged(EditorText, true);
}

void TFakeGrid::Press(TGridKey key, bool shift, bool ctrl, bool alt) {
    const TGridKeyPress press{key, shift, ctrl, alt};
    if (EditorOpen) {
        if (Control.EditorKey(press) == koCloseViewer) ++ViewerCloses;
        return;
    }
    if (Control.GridKey(press) == koEdit) OpenEditor();
}

void TFakeGrid::BeginInsertRow(int row) {
    if (Row >= row) ++Row;
    if (EditorRow >= row) ++EditorRow;
}

void TFakeGrid::BeginRemoveRow(int row) {
    RemovedCurrent = Row == row;
    if (Row > row) --Row;
    // An editor goes with its row.
    if (EditorRow == row) EditorOpen = false;
    if (EditorRow > row) --EditorRow;
}

void TFakeGrid::EndRemoveRow() {
    --ShownRows;
    // As toolkits do: the row that takes the removed one's place becomes current.
    if (RemovedCurrent) {
        RemovedCurrent = false;
        SetCurrentCell(std::min(Row, ShownRows - 1), Column);
    }
}

void TFakeGrid::EndReset() {
    ShownRows = Control.RowCount();
    Row = -1;
    Column = -1;
}

void TFakeGrid::SetCurrentCell(int row, int column) {
    if (row == Row && column == Column) return;
    Row = row;
    Column = column;
    Control.CurrentCellMoved(row);
}

void TFakeViewer::FocusControl(TViewerControl control) {
    const bool leaves = Focus == vcGrid && control != vcGrid;
    Focus = control;
    if (leaves && Grid) Grid->Leave();
}

void TFakeViewer::PressMainSave() {
    ++Saves;
    if (Main) Main->SaveClick();
}

std::vector<std::string> DbfRecords(const std::string& path) {
    std::ifstream file(PathOf(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (bytes.size() < 32) return {};
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at])) |
               static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    const std::size_t count = u16(4);
    const std::size_t header = u16(8);
    const std::size_t length = u16(10);
    std::vector<std::string> records;
    for (std::size_t i = 0; i < count && header + (i + 1) * length <= bytes.size(); ++i) {
        records.push_back(bytes.substr(header + i * length, length));
    }
    return records;
}

std::string DbfField(const std::string& record, int offset, int length) {
    return std::string(Trim(OemToAnsiText(record.substr(offset, length))));
}
