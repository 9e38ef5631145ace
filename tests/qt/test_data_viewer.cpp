#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "AppFixture.h"
#include "GridKeyCases.h"
#include "progress/ProgressViewer.h"
#include "qt/AppStartup.h"
#include "qt/GoodsGrid.h"
#include "qt/RegionalCurrency.h"

namespace {

const QString kTitle = QStringLiteral("test_data_viewer");

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
        default:
            return Qt::Key_unknown;
    }
}

}  // namespace

class TDataViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();

    void ClosedTableShowsNoRowsOrColumns();
    void ColumnsFollowTheFieldsAndShowTheirValues();
    void TypingEditsTheRowAndMovingPostsIt();
    void F2OpensThePriceInFixedNotation();
    void PriceWithCommaIsRefusedAndKeptInTheCell();
    void IntegerCellRefusesLetters();
    void UntouchedAppendedRowIsDroppedWhenFocusLeaves();
    void GridKeys_data();
    void GridKeys();
    void CtrlDeleteOnAnEmptyTableAsksNothing();
    void TextCellsTakeTheFieldWidth_data();
    void TextCellsTakeTheFieldWidth();
    void CorrectedPriceAndDeletedRowReachTheExport();
    void ExportFromTheViewerStoresTheOpenCell();
    void ExportFromTheMainWindowStoresTheOpenCell();
    void RefusedCellStopsTheExport();
    void ClosingAndShowingAgainKeepsTheRows();
    void EscWhileEditingClosesTheViewer();
    void TabCtrlTabAndEnterReachTheViewersControls();
    void NewImportReplacesTheRows();
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

void TDataViewerTest::ClosedTableShowsNoRowsOrColumns() {
    TAppFixture app;
    QCOMPARE(app.Viewer->DBGrid1->model()->rowCount(), 0);
    QCOMPARE(app.Viewer->DBGrid1->model()->columnCount(), 0);
    // Keys that change rows do nothing before the first import.
    app.Viewer->ShowViewer();
    QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_Insert);
    QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_Down);
    QCOMPARE(app.Main->mdGoods.IsOpen(), false);
    QCOMPARE(app.Dialogs.Boxes.size(), 0);
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

void TDataViewerTest::TypingEditsTheRowAndMovingPostsIt() {
    TViewerFixture app;
    app.Select(1, gfNAME);
    QCOMPARE(app.Marker(1), QStringLiteral("\u25BA"));
    TypeText(nullptr, QStringLiteral("Кефир"));
    QVERIFY(app.Grid->CellEditor());
    QCOMPARE(app.Grid->CellEditor()->text(), QStringLiteral("Кефир"));
    QCOMPARE(app.Marker(1), QStringLiteral("I"));
    QCOMPARE(app.Goods().State(), gsEdit);
    app.Key(Qt::Key_Down);
    QCOMPARE(app.Grid->CellEditor(), nullptr);
    QCOMPARE(app.Goods().State(), gsBrowse);
    QCOMPARE(app.Value(2, gfNAME), "Кефир");
    QCOMPARE(app.Goods().RowNumber(), 3);
    QCOMPARE(app.Marker(2), QStringLiteral("\u25BA"));
    QCOMPARE(app.Marker(1), QString());
}

void TDataViewerTest::F2OpensThePriceInFixedNotation() {
    TViewerFixture app;
    app.Select(1, gfRPRICE);
    app.Key(Qt::Key_F2);
    QVERIFY(app.Grid->CellEditor());
    QCOMPARE(app.Grid->CellEditor()->text(), QStringLiteral("1.00"));
    QCOMPARE(app.Marker(1), QStringLiteral("I"));
    // Left without a change, nothing is stored and the row is not marked changed.
    app.Key(Qt::Key_Return);
    QCOMPARE(app.Grid->CellEditor(), nullptr);
    QCOMPARE(app.Goods().Modified(), false);
    app.Key(Qt::Key_Down);
    QCOMPARE(app.Goods().State(), gsBrowse);
    QCOMPARE(app.Value(2, gfRPRICE), "1");
    // Enter opens the editor as F2 does.
    app.Key(Qt::Key_Return);
    QVERIFY(app.Grid->CellEditor());
    QCOMPARE(app.Grid->CellEditor()->text(), QStringLiteral("10.25"));
}

void TDataViewerTest::PriceWithCommaIsRefusedAndKeptInTheCell() {
    TViewerFixture app;
    app.Select(0, gfRPRICE);
    TypeText(nullptr, QStringLiteral("12,5"));
    app.Key(Qt::Key_Down);
    QCOMPARE(app.Dialogs.Boxes.size(), 1);
    QCOMPARE(app.Dialogs.Boxes[0].Icon, diError);
    QCOMPARE(app.Dialogs.Boxes[0].Title, kTitle);
    QCOMPARE(app.Dialogs.Boxes[0].Text,
             QStringLiteral("'12,5' is not a valid floating point value for field 'RPRICE'"));
    QVERIFY(app.Grid->CellEditor());
    QCOMPARE(app.Grid->CellEditor()->text(), QStringLiteral("12,5"));
    QCOMPARE(app.Goods().RowNumber(), 1);
    QCOMPARE(app.Value(1, gfRPRICE), "34.9");
    // Corrected in place, the text is taken.
    app.Grid->CellEditor()->selectAll();
    TypeText(nullptr, QStringLiteral("12.5"));
    app.Key(Qt::Key_Return);
    QCOMPARE(app.Grid->CellEditor(), nullptr);
    QCOMPARE(app.Value(1, gfRPRICE), "12.5");
    QCOMPARE(app.Cell(0, gfRPRICE), QStringLiteral("12.50"));
    QCOMPARE(app.Dialogs.Boxes.size(), 1);
}

void TDataViewerTest::IntegerCellRefusesLetters() {
    TViewerFixture app;
    app.Select(2, gfCATEGORY);
    TypeText(nullptr, QStringLiteral("7x"));
    app.Key(Qt::Key_Up);
    QCOMPARE(app.Dialogs.Texts(),
             QStringList{QStringLiteral("'7x' is not a valid integer value for field 'CATEGORY'")});
    QCOMPARE(app.Goods().RowNumber(), 3);
    QCOMPARE(app.Value(3, gfCATEGORY), "1");
}

void TDataViewerTest::UntouchedAppendedRowIsDroppedWhenFocusLeaves() {
    TViewerFixture app;
    app.Select(2, gfID);
    app.Key(Qt::Key_Down);
    QCOMPARE(app.Model()->rowCount(), 4);
    app.Viewer->BitBtn1->setFocus(Qt::TabFocusReason);
    QCOMPARE(app.Model()->rowCount(), 3);
    QCOMPARE(app.Goods().State(), gsBrowse);
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
        Qt::KeyboardModifiers modifiers;
        if (step.Press.Shift) modifiers |= Qt::ShiftModifier;
        if (step.Press.Ctrl) modifiers |= Qt::ControlModifier;
        if (step.Press.Alt) modifiers |= Qt::AltModifier;
        app.Key(QtKeyOf(step.Press.Key), modifiers);
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

void TDataViewerTest::CtrlDeleteOnAnEmptyTableAsksNothing() {
    TAppFixture app;
    app.Main->mdGoods.OpenTable();
    app.Viewer->ShowViewer();
    QCOMPARE(app.Viewer->DBGrid1->model()->columnCount(), 7);
    QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(app.Dialogs.Boxes.size(), 0);
    QCOMPARE(app.Main->mdGoods.RowCount(), 0);
}

void TDataViewerTest::TextCellsTakeTheFieldWidth_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("width");
    QTest::newRow("NAME holds 50 characters") << int{gfNAME} << 50;
    QTest::newRow("KOD holds 20 characters") << int{gfKOD} << 20;
}

void TDataViewerTest::TextCellsTakeTheFieldWidth() {
    QFETCH(int, field);
    QFETCH(int, width);
    TViewerFixture app;
    app.Select(0, static_cast<TGoodsField>(field));
    TypeText(nullptr, QString(60, u'Ж'));
    QCOMPARE(app.Grid->CellEditor()->text().size(), width);
    app.Key(Qt::Key_Down);
    QCOMPARE(QString::fromStdString(app.Value(1, static_cast<TGoodsField>(field))),
             QString(width, u'Ж'));
}

void TDataViewerTest::CorrectedPriceAndDeletedRowReachTheExport() {
    TViewerFixture app;
    app.Select(0, gfRPRICE);
    TypeText(nullptr, QStringLiteral("50"));
    app.Key(Qt::Key_Down);
    app.Dialogs.ConfirmAnswers.append(true);
    app.Key(Qt::Key_Delete, Qt::ControlModifier);
    app.Main->btnSaveToDBF->click();
    QCOMPARE(app.Dialogs.Texts(), (QStringList{"Delete record?", "Данные сохранены!"}));
    const QList<QByteArray> records = app.Records(kDirectoryFile);
    QCOMPARE(records.size(), 2);
    QCOMPARE(TAppFixture::Field(records[0], kDirRprice[0], kDirRprice[1]), QStringLiteral("50.00"));
    QCOMPARE(TAppFixture::Field(records[1], kDirName[0], kDirName[1]),
             QStringLiteral("Сахар-песок"));
}

void TDataViewerTest::ExportFromTheViewerStoresTheOpenCell() {
    TViewerFixture app;
    app.Select(2, gfRPRICE);
    TypeText(nullptr, QStringLiteral("99"));
    QVERIFY(app.Grid->CellEditor());
    QTest::mouseClick(app.Viewer->Button3, Qt::LeftButton);
    QCOMPARE(app.Dialogs.Texts(), QStringList{QStringLiteral("Данные сохранены!")});
    const QList<QByteArray> records = app.Records(kDirectoryFile);
    QCOMPARE(records.size(), 3);
    QCOMPARE(TAppFixture::Field(records[2], kDirRprice[0], kDirRprice[1]), QStringLiteral("99.00"));
    QCOMPARE(app.Viewer->isVisible(), true);
}

void TDataViewerTest::ExportFromTheMainWindowStoresTheOpenCell() {
    TViewerFixture app;
    app.Select(0, gfRPRICE);
    TypeText(nullptr, QStringLiteral("77"));
    QVERIFY(app.Grid->CellEditor());
    app.Main->btnSaveToDBF->click();
    QCOMPARE(app.Dialogs.Texts(), QStringList{QStringLiteral("Данные сохранены!")});
    const QList<QByteArray> records = app.Records(kDirectoryFile);
    QCOMPARE(TAppFixture::Field(records[0], kDirRprice[0], kDirRprice[1]), QStringLiteral("77.00"));
}

void TDataViewerTest::RefusedCellStopsTheExport() {
    TViewerFixture app;
    app.Select(0, gfOSTATOK);
    TypeText(nullptr, QStringLiteral("2,5"));
    app.Main->btnSaveToDBF->click();
    QCOMPARE(app.Dialogs.Texts(),
             QStringList{QStringLiteral("'2,5' is not a valid floating point value for field "
                                        "'OSTATOK'")});
    QCOMPARE(QFile::exists(app.OutPath(kDirectoryFile)), false);
    QCOMPARE(app.Grid->CellEditor()->text(), QStringLiteral("2,5"));
}

void TDataViewerTest::ClosingAndShowingAgainKeepsTheRows() {
    TViewerFixture app;
    app.Select(1, gfNAME);
    TypeText(nullptr, QStringLiteral("Исправлено"));
    app.Key(Qt::Key_Return);
    app.Viewer->BitBtn1->click();
    QCOMPARE(app.Viewer->isVisible(), false);
    app.Main->Button2->click();
    QCOMPARE(app.Viewer->isVisible(), true);
    QCOMPARE(app.Model()->rowCount(), 3);
    QCOMPARE(app.Cell(1, gfNAME), QStringLiteral("Исправлено"));
    QCOMPARE(app.Grid->currentIndex().row(), 1);
}

void TDataViewerTest::EscWhileEditingClosesTheViewer() {
    TViewerFixture app;
    app.Select(0, gfNAME);
    TypeText(nullptr, QStringLiteral("Батон"));
    app.Key(Qt::Key_Escape);
    QCOMPARE(app.Viewer->isVisible(), false);
    QCOMPARE(app.Value(1, gfNAME), "Батон");
    // Esc in the grid itself closes it too.
    app.Viewer->ShowViewer();
    app.Grid->setFocus();
    QTest::keyClick(app.Grid, Qt::Key_Escape);
    QCOMPARE(app.Viewer->isVisible(), false);
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

void TDataViewerTest::NewImportReplacesTheRows() {
    TViewerFixture app;
    app.Select(0, gfNAME);
    TypeText(nullptr, QStringLiteral("Батон"));
    app.Main->Button1->click();
    QCOMPARE(app.Grid->CellEditor(), nullptr);
    QCOMPARE(app.Model()->rowCount(), 3);
    QCOMPARE(app.Cell(0, gfNAME), QStringLiteral("Хлеб белый"));
    QCOMPARE(app.Goods().State(), gsBrowse);
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
