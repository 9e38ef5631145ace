#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <stdexcept>

#include "AppFixture.h"
#include "progress/ProgressViewer.h"
#include "qt/Dialogs.h"
#include "qt/GoodsGrid.h"

// The real boxes, answered by a timer that polls for the modal box: the only tests that run a
// modal loop.
class TMessageBoxTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { ProgressViewerStartup(); }
    void cleanupTestCase() { ProgressViewerShutdown(); }
    void ErrorDisplayIsACriticalBoxWithOk();
    void ConfirmationAnsweredWithCancel();
    // The main window closed while a handler's box is up: the box stays, the handler goes on with
    // the answer, and then the program ends.
    void CloseUnderABoxWaitsForTheHandler_data();
    void CloseUnderABoxWaitsForTheHandler();

  private:
    // Starts polling; the first modal box found is recorded, `whileUp` runs, and the box is
    // answered with `button`.
    void AnswerNextBox(QMessageBox::StandardButton button,
                       const std::function<void(QMessageBox*)>& whileUp = {});

    QTimer Poll;
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> Buttons;
};

void TMessageBoxTest::AnswerNextBox(QMessageBox::StandardButton button,
                                    const std::function<void(QMessageBox*)>& whileUp) {
    Poll.setInterval(10);
    Poll.disconnect();
    connect(&Poll, &QTimer::timeout, this, [this, button, whileUp] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        Poll.stop();
        Title = box->windowTitle();
        Text = box->text();
        Icon = box->icon();
        Buttons.clear();
        for (QAbstractButton* b : box->buttons()) Buttons.append(box->standardButton(b));
        if (whileUp) whileUp(box);
        box->button(button)->click();
    });
    Poll.start();
}

void TMessageBoxTest::ErrorDisplayIsACriticalBoxWithOk() {
    AnswerNextBox(QMessageBox::Ok);
    RunHandler(nullptr, [] { throw std::runtime_error("Ошибка при поиске записи"); });
    QCOMPARE(Title, QStringLiteral("test_message_box"));
    QCOMPARE(Text, QStringLiteral("Ошибка при поиске записи."));
    QCOMPARE(Icon, QMessageBox::Critical);
    QCOMPARE(Buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

void TMessageBoxTest::ConfirmationAnsweredWithCancel() {
    AnswerNextBox(QMessageBox::Cancel);
    const bool ok =
        Dialogs().Confirm(nullptr, QStringLiteral("Confirm"), QStringLiteral("Delete record?"));
    QCOMPARE(ok, false);
    QCOMPARE(Title, QStringLiteral("Confirm"));
    QCOMPARE(Text, QStringLiteral("Delete record?"));
    QCOMPARE(Buttons.size(), 2);
}

void TMessageBoxTest::CloseUnderABoxWaitsForTheHandler_data() {
    QTest::addColumn<bool>("deleteRow");
    QTest::addColumn<QString>("text");
    QTest::newRow("import without an article list") << false << "Файл ARTICLE.TXT не найден!";
    QTest::newRow("Ctrl+Delete in the results grid") << true << "Delete record?";
}

void TMessageBoxTest::CloseUnderABoxWaitsForTheHandler() {
    QFETCH(bool, deleteRow);
    QFETCH(QString, text);
    TAppFixture app(/*withArticle=*/deleteRow);
    app.Main->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.Main.get()));
    if (deleteRow) {
        app.Main->Button1Click();
        QVERIFY(QTest::qWaitForWindowExposed(app.Viewer));
    }
    SetDialogs(nullptr);  // the real boxes from here on
    const int rows = app.Main->mdGoods.RowCount();
    bool closedUnderTheBox = true;
    bool bothShownAfterIt = false;
    AnswerNextBox(QMessageBox::Ok, [&](QMessageBox* box) {
        closedUnderTheBox = app.Main->close();
        bothShownAfterIt = app.Main->isVisible() && box->isVisible();
    });
    // The handler starts from the event loop, as the program's own do.
    QMetaObject::invokeMethod(
        this,
        [&] {
            if (deleteRow) {
                QTest::keyClick(app.Viewer->DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
            } else {
                app.Main->Button1Click();
            }
        },
        Qt::QueuedConnection);
    // Only a close that is never carried out lets this guard end the loop.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(30000);
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(Text, text);
    QVERIFY(!closedUnderTheBox);
    QVERIFY(bothShownAfterIt);
    QCOMPARE(app.Main->mdGoods.RowCount(), deleteRow ? rows - 1 : rows);
    QVERIFY(!app.Main->isVisible());
}

QTEST_MAIN(TMessageBoxTest)
#include "test_message_box.moc"
