#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "qt/Dialogs.h"

// Answers the program's boxes and choosers from a script and records what was asked, so GUI tests
// run without modal loops. Installed for its lifetime.
class TScriptedDialogs : public IDialogs {
  public:
    struct TBox {
        TDialogIcon Icon;
        QString Title;
        QString Text;
    };
    struct TChooser {
        QString Title;
        QString Folder;  // start folder (file chooser) or start (folder chooser)
        QString Name;
        QString Filter;
    };

    TScriptedDialogs() { SetDialogs(this); }
    ~TScriptedDialogs() override { SetDialogs(nullptr); }
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    void Message(QWidget* /*parent*/, TDialogIcon icon, const QString& title,
                 const QString& text) override {
        Boxes.append({icon, title, text});
    }
    bool Confirm(QWidget* /*parent*/, const QString& title, const QString& text) override {
        Boxes.append({diQuestion, title, text});
        // A question nobody scripted is answered with Cancel, and the test sees it in Boxes.
        return ConfirmAnswers.isEmpty() ? false : ConfirmAnswers.takeFirst();
    }
    std::optional<QString> OpenFile(QWidget* /*parent*/, const QString& title,
                                    const QString& folder, const QString& name,
                                    const QString& filter) override {
        Choosers.append({title, folder, name, filter});
        return ChooserAnswers.isEmpty() ? std::nullopt : ChooserAnswers.takeFirst();
    }
    std::optional<QString> ChooseFolder(QWidget* /*parent*/, const QString& title,
                                        const QString& start) override {
        Choosers.append({title, start, QString(), QString()});
        return ChooserAnswers.isEmpty() ? std::nullopt : ChooserAnswers.takeFirst();
    }

    // The texts of every box shown so far, in order.
    QStringList Texts() const {
        QStringList texts;
        for (const TBox& box : Boxes) texts.append(box.Text);
        return texts;
    }

    QList<TBox> Boxes;
    QList<TChooser> Choosers;
    QList<bool> ConfirmAnswers;
    QList<std::optional<QString>> ChooserAnswers;
};
