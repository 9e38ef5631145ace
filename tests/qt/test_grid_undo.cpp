#include <QClipboard>
#include <QPushButton>
#include <QtTest>

#include "AppFixture.h"
#include "progress/ProgressViewer.h"
#include "qt/AppStartup.h"
#include "qt/GoodsGrid.h"

namespace {

// The examples imported, the viewer shown and active with the focus in its grid.
class TUndoFixture : public TAppFixture {
  public:
    TUndoFixture() {
        Main->show();
        Main->Button1->click();
        Grid = Viewer->DBGrid1;
        Viewer->ShowViewer();
        QApplication::setActiveWindow(Viewer);
        Grid->setFocus();
    }
    void Select(int row, TGoodsField field) {
        Grid->setCurrentIndex(Grid->model()->index(row, field));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    std::string Value(int row, TGoodsField field) { return Main->mdGoods.AsTextAt(row, field); }
    // Both tables as the viewer's save button writes them, but for their dates (bytes 1-3).
    QByteArray Save() {
        QTest::mouseClick(Viewer->Button3, Qt::LeftButton);
        QByteArray bytes;
        for (const QString& name : {kDirectoryFile, kReceiptFile}) {
            QFile file(OutPath(name));
            if (!file.open(QIODevice::ReadOnly)) return {};
            bytes += file.readAll().remove(1, 3);
        }
        return bytes;
    }

    TGoodsGrid* Grid = nullptr;
};

}  // namespace

class TGridUndoTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        LoadApplicationFonts();
        ProgressViewerStartup();
    }
    void cleanupTestCase() { ProgressViewerShutdown(); }

    void DeletionTakenBackSavesTheTablesOfNoDeletion();
    void CopiedPricePastedUndoneAndRedone();
    void LettersFoundByTheirPlaceUnderACyrillicLayout_data();
    void LettersFoundByTheirPlaceUnderACyrillicLayout();
};

void TGridUndoTest::DeletionTakenBackSavesTheTablesOfNoDeletion() {
    TUndoFixture app;
    const QByteArray imported = app.Save();
    QVERIFY(!imported.isEmpty());
    // On a real display the keyboard is the window system's: the viewer is activated there, and
    // the save's progress window gives the keyboard back to it when it closes.
    app.Viewer->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app.Viewer));
    app.Grid->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), app.Grid);
    app.Select(1, gfNAME);
    app.Dialogs.ConfirmAnswers.append(true);
    app.Key(Qt::Key_Delete);
    QCOMPARE(app.Main->mdGoods.RowCount(), 2);
    app.Key(Qt::Key_Z);
    QCOMPARE(app.Grid->currentIndex().row(), 1);
    QCOMPARE(app.Save(), imported);
    QCOMPARE(app.Dialogs.Texts(),
             (QStringList{"Данные сохранены!", "Delete record?", "Данные сохранены!"}));
}

void TGridUndoTest::CopiedPricePastedUndoneAndRedone() {
    TUndoFixture app;
    const std::string first = app.Value(1, gfRPRICE);
    const std::string third = app.Value(3, gfRPRICE);
    QVERIFY(first != third);
    app.Select(0, gfRPRICE);
    app.Key(Qt::Key_C);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             app.Grid->model()->index(0, gfRPRICE).data(Qt::EditRole).toString());
    app.Select(2, gfRPRICE);
    app.Key(Qt::Key_V);
    app.Key(Qt::Key_Up, Qt::NoModifier);
    QCOMPARE(app.Value(3, gfRPRICE), first);
    app.Key(Qt::Key_Z);
    QCOMPARE(app.Value(3, gfRPRICE), third);
    QCOMPARE(app.Grid->currentIndex(), app.Grid->model()->index(2, gfRPRICE));
    app.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(app.Value(3, gfRPRICE), first);
    app.Key(Qt::Key_Z);
    app.Key(Qt::Key_Y);
    QCOMPARE(app.Value(3, gfRPRICE), first);
}

void TGridUndoTest::LettersFoundByTheirPlaceUnderACyrillicLayout_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<quint32>("scanCode");
    QTest::addColumn<int>("expected");
    // X key codes of the Latin letters' places, and the Cyrillic layout's letters there (Qt's
    // key of a letter is its upper case code point).
    QTest::newRow("Ctrl+Я is Ctrl+Z") << 0x042F << 52u << int(grZ);
    QTest::newRow("Ctrl+Н is Ctrl+Y") << 0x041D << 29u << int(grY);
    QTest::newRow("Ctrl+С is Ctrl+C") << 0x0421 << 54u << int(grC);
    QTest::newRow("Ctrl+М is Ctrl+V") << 0x041C << 55u << int(grV);
    QTest::newRow("Ctrl+А is Ctrl+F") << 0x0410 << 41u << int(grF);
    QTest::newRow("a Latin letter keeps its own meaning") << int(Qt::Key_Q) << 52u << int(grOther);
    QTest::newRow("another place is no letter") << 0x041E << 39u << int(grOther);
}

void TGridUndoTest::LettersFoundByTheirPlaceUnderACyrillicLayout() {
    QFETCH(int, key);
    QFETCH(quint32, scanCode);
    QFETCH(int, expected);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier, scanCode, 0, 0);
    const TGridKeyPress press = GridKeyOf(&event);
    QCOMPARE(int(press.Key), expected);
    QVERIFY(press.Ctrl);
}

QTEST_MAIN(TGridUndoTest)
#include "test_grid_undo.moc"
