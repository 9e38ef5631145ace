#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "AppFixture.h"
#include "FindCases.h"
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

QStringList Texts(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) texts.append(QString::fromStdString(line));
    return texts;
}

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
    void ListsTheExamplesFindingsAndAChosenOneSelectsItsRow();
    void FindBoxWalksTheMatches();
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

void TFindingsTest::ListsTheExamplesFindingsAndAChosenOneSelectsItsRow() {
    TFindingsFixture app;
    QCOMPARE(app.Lines(), Texts(ExampleFindingLines()));
    QCOMPARE(app.Viewer->lbFindings->text(), QString::fromUtf8(kExampleFindingsCaption));
    QListView* list = app.Viewer->lstFindings;
    for (const TChooseStep& step : ChooseSteps()) {
        if (step.ByEnter) {
            list->setFocus();
            list->setCurrentIndex(list->model()->index(step.Line, 0));
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            app.Click(step.Line);
        }
        QVERIFY2(app.GridRow() == step.Row, step.Rule);
        QVERIFY2(QApplication::focusWidget() == app.Viewer->DBGrid1, step.Rule);
    }
    // The barcode of 101 typed right and the row left: its finding goes, the others stay.
    app.Viewer->DBGrid1->setCurrentIndex(app.Viewer->DBGrid1->model()->index(0, gfKOD));
    TypeText(nullptr, QString::fromUtf8(kFixedBarcode));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_Down);
    QCOMPARE(app.Lines(), Texts({ExampleFindingLines()[0], ExampleFindingLines()[1]}));
    QCOMPARE(app.Viewer->lbFindings->text(), QString::fromUtf8(kFixedFindingsCaption));
}

void TFindingsTest::FindBoxWalksTheMatches() {
    TFindingsFixture app;
    TDataViewerForm* viewer = app.Viewer;
    viewer->DBGrid1->setCurrentIndex(viewer->DBGrid1->model()->index(0, gfNAME));
    QWidget* const controls[] = {viewer->DBGrid1, viewer->BitBtn1, viewer->Button3, viewer->edFind,
                                 viewer->lstFindings};
    for (const TFindStep& step : FindSteps()) {
        viewer->DBGrid1->setFocus();
        if (step.Action == faF3) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
        } else {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
            QVERIFY2(QApplication::focusWidget() == viewer->edFind, step.Rule);
            // The box's text is selected: typing replaces it.
            QVERIFY2(viewer->edFind->selectedText() == viewer->edFind->text(), step.Rule);
            if (step.Typed) TypeText(viewer->edFind, QString::fromUtf8(step.Typed));
            QTest::keyClick(viewer->edFind, Qt::Key_Return);
        }
        QVERIFY2(app.GridRow() == step.Row, step.Rule);
        QVERIFY2(viewer->lbFindStatus->text() == QString::fromUtf8(step.Status), step.Rule);
        QVERIFY2(QApplication::focusWidget() == controls[step.Focus], step.Rule);
    }
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
