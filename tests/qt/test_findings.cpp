#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "AppFixture.h"
#include "app/WindowTexts.h"
#include "convert/GoodsChecks.h"
#include "progress/ProgressViewer.h"
#include "qt/AppStartup.h"
#include "qt/GoodsGrid.h"

namespace {

// The examples imported (101 with a wrong check digit, 102 reported at -3 and price 0, 103
// generated), the viewer shown with the focus in its grid.
class TFindingsFixture : public TAppFixture {
  public:
    TFindingsFixture() {
        Main->show();
        Main->Button1->click();
        Viewer->ShowViewer();
        QApplication::setActiveWindow(Viewer);
        Viewer->DBGrid1->setFocus();
    }
    QStringList Lines() const {
        QStringList lines;
        QAbstractItemModel* model = Viewer->lstFindings->model();
        for (int i = 0; i < model->rowCount(); ++i)
            lines.append(model->index(i, 0).data().toString());
        return lines;
    }
    void Click(int line) {
        QListView* list = Viewer->lstFindings;
        const QRect at = list->visualRect(list->model()->index(line, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    }
    int GridRow() const { return Viewer->DBGrid1->currentIndex().row(); }
};

}  // namespace

class TFindingsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        LoadApplicationFonts();
        ProgressViewerStartup();
    }
    void cleanupTestCase() { ProgressViewerShutdown(); }

    void BeforeAnyImportTheListSaysThereIsNothing();
    void ImportedExamplesShowTheirFindingsWithCounts();
    void ChoosingAFindingSelectsItsRowAndAFixedBarcodeTakesItAway();
    void CtrlFFindsByNameAndF3GoesOnWithWrap();
    void Ean13BoxSitsBesideTheStartValueAndReachesTheImport();
    void PanelSitsRightOfTheDesignControlsAndGrowsInHeight();
    void TheCaptionHoldsEveryKindWithAMillionEach();
};

void TFindingsTest::BeforeAnyImportTheListSaysThereIsNothing() {
    TAppFixture app;
    QCOMPARE(app.Viewer->lstFindings->model()->rowCount(), 1);
    QCOMPARE(app.Viewer->lstFindings->model()->index(0, 0).data().toString(),
             QString::fromUtf8(kNoFindings));
}

void TFindingsTest::ImportedExamplesShowTheirFindingsWithCounts() {
    TFindingsFixture app;
    const QStringList want = {
        QStringLiteral("Цена заменена на 1 | 102 | 2220000000001 | Молоко 3,2% | цена в отчете 0: "
                       "установлена 1"),
        QStringLiteral("Отрицательный остаток заменен на 0 | 102 | 2220000000001 | Молоко 3,2% | "
                       "остаток в отчете -3: установлен 0"),
        QStringLiteral("Штрих-код не прочтет сканер | 101 | 4601234567890 | Хлеб белый | неверная "
                       "контрольная цифра (должна быть 3): сканер его не прочтет"),
    };
    QCOMPARE(app.Lines(), want);
    QCOMPARE(app.Viewer->lbFindings->text(),
             QStringLiteral("Замечания перед загрузкой в ЛАРМИС:\nЦена заменена на 1: 1; "
                            "Отрицательный остаток заменен на 0: 1; Штрих-код не прочтет сканер: "
                            "1"));
}

void TFindingsTest::ChoosingAFindingSelectsItsRowAndAFixedBarcodeTakesItAway() {
    TFindingsFixture app;
    app.Viewer->DBGrid1->setCurrentIndex(app.Viewer->DBGrid1->model()->index(2, gfNAME));
    app.Click(2);
    QCOMPARE(app.GridRow(), 0);
    QCOMPARE(app.Main->mdGoods.RowNumber(), 1);
    QCOMPARE(QApplication::focusWidget(), app.Viewer->DBGrid1);
    app.Click(0);
    QCOMPARE(app.GridRow(), 1);
    // Back to the barcode of 101, typed right, and the row left: its finding goes.
    app.Viewer->DBGrid1->setCurrentIndex(app.Viewer->DBGrid1->model()->index(0, gfKOD));
    TypeText(nullptr, QStringLiteral("4601234567893"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_Down);
    QCOMPARE(app.Main->mdGoods.AsTextAt(1, gfKOD), std::string("4601234567893"));
    QCOMPARE(app.Lines().size(), 2);
    QVERIFY(!app.Lines().join(u'\n').contains(QStringLiteral("4601234567")));
}

void TFindingsTest::CtrlFFindsByNameAndF3GoesOnWithWrap() {
    TFindingsFixture app;
    app.Viewer->DBGrid1->setCurrentIndex(app.Viewer->DBGrid1->model()->index(0, gfNAME));
    QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), app.Viewer->edFind);
    TypeText(app.Viewer->edFind, QStringLiteral("САХАР"));
    QTest::keyClick(app.Viewer->edFind, Qt::Key_Return);
    QCOMPARE(app.GridRow(), 2);
    QCOMPARE(app.Viewer->lbFindStatus->text(), QString());
    // F3 from the grid: the only match again, after going on from the first row.
    app.Viewer->DBGrid1->setFocus();
    QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_F3);
    QCOMPARE(app.GridRow(), 2);
    QCOMPARE(app.Viewer->lbFindStatus->text(), QString::fromUtf8(TGridFind::kFindWrapped));
    // By ID, then no match.
    app.Viewer->edFind->setText(QStringLiteral("101"));
    QTest::keyClick(app.Viewer->edFind, Qt::Key_Return);
    QCOMPARE(app.GridRow(), 0);
    app.Viewer->edFind->setText(QStringLiteral("сыр"));
    QTest::keyClick(app.Viewer->edFind, Qt::Key_Return);
    QCOMPARE(app.GridRow(), 0);
    QCOMPARE(app.Viewer->lbFindStatus->text(), QString::fromUtf8(TGridFind::kFindNone));
}

void TFindingsTest::Ean13BoxSitsBesideTheStartValueAndReachesTheImport() {
    TAppFixture app;
    QCheckBox* box = app.Main->cbEan13;
    QCOMPARE(box->text(), QStringLiteral("Штрих-коды EAN-13"));
    QCOMPARE(box->isChecked(), false);
    QCOMPARE(box->geometry(), QRect(381, 408, 121, 17));
    // Last in the focus order, after the design's eleven stops.
    app.Main->show();
    QVERIFY(QTest::qWaitForWindowActive(app.Main.get()));
    for (int i = 0; i < 11; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box);
    box->setChecked(true);
    app.Main->Button1->click();
    QCOMPARE(app.Main->mdGoods.AsTextAt(2, gfKOD), std::string("2220000000017"));
    app.Main->edBarCodePrefix->setText(QStringLiteral("$DE"));
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 1);
    QCOMPARE(app.Dialogs.Boxes[0].Text,
             QStringLiteral("Для штрих-кодов EAN-13 префикс должен состоять только из цифр!"));
}

void TFindingsTest::PanelSitsRightOfTheDesignControlsAndGrowsInHeight() {
    TAppFixture app;
    TDataViewerForm* viewer = app.Viewer;
    QCOMPARE(viewer->size(), QSize(1033, 537));
    QCOMPARE(viewer->DBGrid1->geometry(), QRect(8, 30, 709, 463));
    QCOMPARE(viewer->edFind->geometry(), QRect(725, 26, 292, 21));
    QCOMPARE(viewer->lstFindings->geometry(), QRect(725, 184, 292, 345));
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    viewer->resize(1233, 737);
    QCOMPARE(viewer->DBGrid1->geometry(), QRect(8, 30, 909, 663));
    QCOMPARE(viewer->lstFindings->geometry(), QRect(925, 184, 292, 545));
}

void TFindingsTest::TheCaptionHoldsEveryKindWithAMillionEach() {
    TAppFixture app;
    const QLabel* caption = app.Viewer->lbFindings;
    std::string text = std::string(kFindingsLabel) + '\n';
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        if (kind > 0) text += "; ";
        text += CheckKindTitle(static_cast<TCheckKind>(kind)) + std::string(": 1000000");
    }
    const QRect needed = QFontMetrics(caption->font())
                             .boundingRect(QRect(0, 0, caption->width(), 10000), Qt::TextWordWrap,
                                           QString::fromStdString(text));
    QVERIFY2(needed.height() <= caption->height(),
             qPrintable(QStringLiteral("%1 px needed, %2 px given")
                            .arg(needed.height())
                            .arg(caption->height())));
}

QTEST_MAIN(TFindingsTest)
#include "test_findings.moc"
