#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

#include "qt/Dialogs.h"

// The real boxes, answered by a timer that polls for the modal box: the only tests that run a
// modal loop.
class TMessageBoxTest : public QObject {
    Q_OBJECT
  private slots:
    void ErrorDisplayIsACriticalBoxWithOk();
    void ConfirmationAnsweredWithCancel();

  private:
    // Starts polling; the first modal box found is recorded and answered with `button`.
    void AnswerNextBox(QMessageBox::StandardButton button);

    QTimer Poll;
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> Buttons;
};

void TMessageBoxTest::AnswerNextBox(QMessageBox::StandardButton button) {
    Poll.setInterval(10);
    Poll.disconnect();
    connect(&Poll, &QTimer::timeout, this, [this, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        Poll.stop();
        Title = box->windowTitle();
        Text = box->text();
        Icon = box->icon();
        Buttons.clear();
        for (QAbstractButton* b : box->buttons()) Buttons.append(box->standardButton(b));
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

QTEST_MAIN(TMessageBoxTest)
#include "test_message_box.moc"
