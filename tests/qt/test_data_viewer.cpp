#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "AppFixture.h"
#include "EditCaseChecks.h"
#include "progress/ProgressViewer.h"
#include "qt/AppStartup.h"
#include "qt/GoodsGrid.h"
#include "qt/RegionalCurrency.h"

namespace {

// The examples imported, the viewer shown and active with the focus in its grid.
class TViewerFixture : public TAppFixture {
  public:
    TViewerFixture() {
        Main->show();
        Main->Button1->click();
        Grid = Viewer->DBGrid1;
        Viewer->ShowViewer();
        QApplication::setActiveWindow(Viewer);
        Grid->setFocus();
    }
    TGoodsTable& Goods() { return Main->mdGoods; }
    QAbstractItemModel* Model() { return Grid->model(); }
    QString Cell(int row, TGoodsField field) {
        return Model()->index(row, field).data().toString();
    }
    QString Marker(int row) { return Model()->headerData(row, Qt::Vertical).toString(); }
    void Select(int row, TGoodsField field) { Grid->setCurrentIndex(Model()->index(row, field)); }
    // A key to whatever has the focus: the grid, or its open cell editor.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    std::string Value(int row, TGoodsField field) { return Goods().AsTextAt(row, field); }

    TGoodsGrid* Grid = nullptr;
};

Qt::Key QtKeyOf(TGridKey key) {
    switch (key) {
        case grInsert:
            return Qt::Key_Insert;
        case grDelete:
            return Qt::Key_Delete;
        case grUp:
            return Qt::Key_Up;
        case grDown:
            return Qt::Key_Down;
        case grPageUp:
            return Qt::Key_PageUp;
        case grPageDown:
            return Qt::Key_PageDown;
        case grTab:
            return Qt::Key_Tab;
        case grBacktab:
            return Qt::Key_Backtab;
        case grLeft:
            return Qt::Key_Left;
        case grRight:
            return Qt::Key_Right;
        case grHome:
            return Qt::Key_Home;
        case grEnd:
            return Qt::Key_End;
        case grEnter:
            return Qt::Key_Return;
        case grF2:
            return Qt::Key_F2;
        case grEscape:
            return Qt::Key_Escape;
        default:
            return Qt::Key_unknown;
    }
}

Qt::KeyboardModifiers ModifiersOf(TGridKeyPress press) {
    Qt::KeyboardModifiers modifiers;
    if (press.Shift) modifiers |= Qt::ShiftModifier;
    if (press.Ctrl) modifiers |= Qt::ControlModifier;
    if (press.Alt) modifiers |= Qt::AltModifier;
    return modifiers;
}

// The shared editing cases through the real windows: clicks and keys as Qt delivers them.
class TQtEditDriver : public TAppFixture {
  public:
    explicit TQtEditDriver(TEditStart start) {
        Main->show();
        if (start == esExamples) Main->Button1->click();
        if (start == esEmptyTable) Main->mdGoods.OpenTable();
        if (start != esExamples) Main->Button2->click();
        QApplication::setActiveWindow(Viewer);
        Viewer->DBGrid1->setFocus();
    }

    void Click(int row, int column) {
        TGoodsGrid* grid = Viewer->DBGrid1;
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void Type(const std::string& text) {
        if (QLineEdit* editor = Viewer->DBGrid1->CellEditor()) editor->selectAll();
        TypeText(nullptr, QString::fromStdString(text));
    }
    void Key(TGridKeyPress press) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus, "nothing has the keyboard");
        QTest::keyClick(focus, QtKeyOf(press.Key), ModifiersOf(press));
    }
    void SaveInViewer() { QTest::mouseClick(Viewer->Button3, Qt::LeftButton); }
    void SaveInMain() { Main->btnSaveToDBF->click(); }
    void CloseViewer() { Viewer->BitBtn1->click(); }
    void ShowResults() { Main->Button2->click(); }
    void Import() { Main->Button1->click(); }
    void Settle() { QCoreApplication::sendPostedEvents(); }
    void SetWriteID(bool write) { Main->cbWriteID->setChecked(write); }
    std::filesystem::path ReportsFolder() const { return Folder.path().toStdString(); }

    TGoodsTable& Goods() { return Main->mdGoods; }
    TGridCell CurrentCell() const {
        const QModelIndex at = Viewer->DBGrid1->currentIndex();
        return {at.row(), at.column()};
    }
    int ShownRows() const { return Viewer->DBGrid1->model()->rowCount(); }
    int ShownColumns() const { return Viewer->DBGrid1->model()->columnCount(); }
    std::string Cell(int row, int column) const {
        return Viewer->DBGrid1->model()->index(row, column).data().toString().toStdString();
    }
    std::string Marker(int row) const {
        return Viewer->DBGrid1->model()->headerData(row, Qt::Vertical).toString().toStdString();
    }
    std::optional<std::string> Editor() const {
        const QLineEdit* editor = Viewer->DBGrid1->CellEditor();
        return editor ? std::optional(editor->text().toStdString()) : std::nullopt;
    }
    bool ViewerShown() const { return Viewer->isVisible(); }
    std::vector<TEditBox> Boxes() const {
        std::vector<TEditBox> boxes;
        for (const TScriptedDialogs::TBox& box : Dialogs.Boxes) {
            boxes.push_back({box.Icon, box.Text.toStdString()});
        }
        return boxes;
    }
    int ExportedRecords() const {
        return QFile::exists(OutPath(kDirectoryFile))
                   ? static_cast<int>(Records(kDirectoryFile).size())
                   : -1;
    }
    std::string ExportedField(int record, int offset, int length) const {
        return Field(Records(kDirectoryFile)[record], offset, length).toStdString();
    }
};

}  // namespace

class TDataViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();

    void ColumnsFollowTheFieldsAndShowTheirValues();
    void GridKeys_data();
    void GridKeys();
    void Edits_data();
    void Edits();
    void TabCtrlTabAndEnterReachTheViewersControls();
    void DraggedColumnWidthSurvivesAnExport();
    void GridGrowsWithTheWindowButtonsKeepTheirCorners();
    void PricesFollowTheRegionalCurrencyWithAPoint();
};

void TDataViewerTest::initTestCase() {
    LoadApplicationFonts();
    ProgressViewerStartup();
}

void TDataViewerTest::cleanupTestCase() {
    ProgressViewerShutdown();
}

void TDataViewerTest::ColumnsFollowTheFieldsAndShowTheirValues() {
    TViewerFixture app;
    QStringList titles;
    for (int c = 0; c < app.Model()->columnCount(); ++c) {
        titles.append(app.Model()->headerData(c, Qt::Horizontal).toString());
    }
    QCOMPARE(titles, (QStringList{"ID", "NAME", "KOD", "OSTATOK", "RPRICE", "CATEGORY", "NDS"}));
    QCOMPARE(app.Cell(0, gfID), QStringLiteral("101"));
    QCOMPARE(app.Cell(0, gfNAME), QStringLiteral("Хлеб белый"));
    QCOMPARE(app.Cell(0, gfOSTATOK), QStringLiteral("12.5"));
    QCOMPARE(app.Cell(0, gfRPRICE), QStringLiteral("34.90"));
    QCOMPARE(app.Model()->index(0, gfRPRICE).data(Qt::EditRole).toString(),
             QStringLiteral("34.90"));
    QCOMPARE(app.Cell(2, gfCATEGORY), QStringLiteral("1"));
    QCOMPARE(app.Cell(2, gfNDS), QStringLiteral("18"));
    // NAME is the widest column (50 characters), KOD next (20).
    QVERIFY(app.Grid->columnWidth(gfNAME) > app.Grid->columnWidth(gfKOD));
    QVERIFY(app.Grid->columnWidth(gfKOD) > app.Grid->columnWidth(gfID));
}

void TDataViewerTest::GridKeys_data() {
    QTest::addColumn<int>("index");
    for (int index = 0; index < static_cast<int>(GridKeyCases().size()); ++index) {
        QTest::newRow(GridKeyCaseName(index).c_str()) << index;
    }
}

void TDataViewerTest::GridKeys() {
    QFETCH(int, index);
    const TGridKeyCase& c = GridKeyCases()[static_cast<std::size_t>(index)];
    TViewerFixture app;
    if (c.Answer >= 0) app.Dialogs.ConfirmAnswers.append(c.Answer == 1);
    app.Select(c.From.Row, static_cast<TGoodsField>(c.From.Column));
    for (const TGridStep& step : c.Steps) {
        if (step.Typed) {
            TypeText(nullptr, QString::fromUtf8(step.Typed));
            continue;
        }
        app.Key(QtKeyOf(step.Press.Key), ModifiersOf(step.Press));
    }
    QCOMPARE(app.Grid->currentIndex(), app.Model()->index(c.To.Row, c.To.Column));
    QCOMPARE(app.Goods().RowNumber(), c.To.Row + 1);
    QVERIFY(!app.Grid->CellEditor());
    QCOMPARE(app.Model()->rowCount(), c.Rows);
    QCOMPARE(app.Goods().State(), c.State);
    QCOMPARE(app.Marker(c.To.Row), QString::fromUtf8(MarkerOf(c.State)));
    for (const TGridValue& value : c.Values) {
        QCOMPARE(app.Value(value.Row, value.Field), std::string(value.Text));
        QCOMPARE(app.Cell(value.Row - 1, value.Field), QString::fromUtf8(value.Text));
    }
    QCOMPARE(app.Dialogs.Boxes.size(), c.Answer >= 0 ? 1 : 0);
    if (c.Answer >= 0) {
        QCOMPARE(app.Dialogs.Boxes[0].Title, QStringLiteral("Confirm"));
        QCOMPARE(app.Dialogs.Boxes[0].Text, QStringLiteral("Delete record?"));
    }
}

void TDataViewerTest::Edits_data() {
    QTest::addColumn<int>("index");
    for (int index = 0; index < static_cast<int>(EditCases().size()); ++index) {
        QTest::newRow(EditCaseName(index).c_str()) << index;
    }
}

void TDataViewerTest::Edits() {
    QFETCH(int, index);
    const TEditCase& c = EditCases()[static_cast<std::size_t>(index)];
    TQtEditDriver driver(c.Start);
    for (const bool answer : c.Answers) driver.Dialogs.ConfirmAnswers.append(answer);
    PlayEditSteps(c, driver);
    QCOMPARE(QString::fromStdString(EditMismatches(c, driver)), QString());
}

void TDataViewerTest::TabCtrlTabAndEnterReachTheViewersControls() {
    TViewerFixture app;
    TDataViewerForm* viewer = app.Viewer;
    // Ctrl+Tab leaves the grid; Tab runs on through the design's order and the panel, back to it.
    app.Key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), viewer->BitBtn1);
    QWidget* const order[] = {viewer->Button3, viewer->edFind, viewer->lstFindings, app.Grid};
    for (QWidget* next : order) {
        app.Key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    // In the grid Tab is the grid's; Ctrl+Shift+Tab leaves it backwards, for the findings.
    app.Key(Qt::Key_Backtab, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), viewer->lstFindings);
    // Enter on the save button presses the main window's, which exports.
    viewer->Button3->setFocus();
    app.Key(Qt::Key_Return);
    QCOMPARE(app.Dialogs.Texts(), QStringList{QStringLiteral("Данные сохранены!")});
    QCOMPARE(app.Records(kDirectoryFile).size(), 3);
    // Enter on "Закрыть" closes the viewer.
    viewer->BitBtn1->setFocus();
    app.Key(Qt::Key_Return);
    QVERIFY(!viewer->isVisible());
}

void TDataViewerTest::DraggedColumnWidthSurvivesAnExport() {
    TViewerFixture app;
    app.Grid->horizontalHeader()->resizeSection(gfNAME, 77);
    app.Main->btnSaveToDBF->click();
    app.Main->Button1->click();
    QCOMPARE(app.Grid->columnWidth(gfNAME), 77);
}

void TDataViewerTest::GridGrowsWithTheWindowButtonsKeepTheirCorners() {
    TAppFixture app;
    TDataViewerForm* viewer = app.Viewer;
    // The window is wider by the findings panel at its right (308 pixels); the design's part is
    // the 725 x 537 left of it.
    QCOMPARE(viewer->size(), QSize(725 + 308, 537));
    QCOMPARE(viewer->DBGrid1->geometry(), QRect(8, 30, 709, 463));
    QCOMPARE(viewer->BitBtn1->geometry(), QRect(642, 504, 75, 25));
    QCOMPARE(viewer->Button3->geometry(), QRect(8, 504, 162, 25));
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    viewer->resize(925 + 308, 737);
    QCOMPARE(viewer->DBGrid1->geometry(), QRect(8, 30, 909, 663));
    QCOMPARE(viewer->BitBtn1->geometry(), QRect(842, 704, 75, 25));
    QCOMPARE(viewer->Button3->geometry(), QRect(8, 704, 162, 25));
    QCOMPARE(viewer->Label1->pos(), QPoint(8, 8));
    QCOMPARE(viewer->Label1->font().pixelSize(), 13);
    QCOMPARE(viewer->Label1->font().bold(), true);
    QCOMPARE(viewer->Label1->text(), QStringLiteral("Отредактируйте данные при необходимости!"));
    QCOMPARE(viewer->BitBtn1->text(), QStringLiteral("Закрыть"));
    QCOMPARE(viewer->Button3->text(), QStringLiteral("Сохранить в DBF-формате"));
    QCOMPARE(viewer->parentWidget(), app.Main.get());
    QVERIFY(viewer->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

void TDataViewerTest::PricesFollowTheRegionalCurrencyWithAPoint() {
    TGoodsTable goods;
    goods.OpenTable();
    goods.AppendRow();
    goods.SetText(gfRPRICE, "1234.5");
    goods.SetText(gfOSTATOK, "0.00001");
    goods.PostRow();
    TScriptedDialogs dialogs;
    TQtShell shell(nullptr);
    TGoodsGridController control(
        goods, TCurrencyFormat::FromRegional(RegionalCurrency(QLocale(QStringLiteral("ru_RU")))),
        shell);
    TGoodsGrid grid(control, nullptr);
    grid.show();
    QApplication::setActiveWindow(&grid);
    QCOMPARE(grid.model()->index(0, gfRPRICE).data().toString(),
             QString::fromUtf8("1234.50\u00A0\u20BD"));
    QCOMPARE(grid.model()->index(0, gfRPRICE).data(Qt::EditRole).toString(),
             QStringLiteral("1234.50"));
    QCOMPARE(grid.model()->index(0, gfOSTATOK).data().toString(), QStringLiteral("1E-5"));
    // The regional comma is still no decimal separator.
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(0, gfOSTATOK));
    TypeText(nullptr, QStringLiteral("2,5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(dialogs.Texts(),
             QStringList{QStringLiteral("'2,5' is not a valid floating point value for field "
                                        "'OSTATOK'")});
    QCOMPARE(goods.AsTextAt(1, gfOSTATOK), "1E-5");
}

QTEST_MAIN(TDataViewerTest)
#include "test_data_viewer.moc"
