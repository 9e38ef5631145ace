#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "ScriptedDialogs.h"
#include "qt/DataViewerFrm.h"
#include "qt/FileNameEdit.h"
#include "qt/MainFrm.h"
#include "text/CodePage.h"

// The program's two windows over a temporary current folder that holds the example reports as
// ARTICLE.TXT and PRINT.TXT (either can be left out); boxes are answered by a script.
class TAppFixture {
  public:
    explicit TAppFixture(bool withArticle = true, bool withPrint = true) {
        OldCurrent = QDir::currentPath();
        QDir::setCurrent(Folder.path());
        if (withArticle) CopyData("app_ARTICLE.TXT", "ARTICLE.TXT");
        if (withPrint) CopyData("app_PRINT.TXT", "PRINT.TXT");
        Main = std::make_unique<TMainForm>();
        Viewer = new TDataViewerForm(Main.get());
        Main->edDBFFolder->setText(Folder.path() + QStringLiteral("/out"));
        QDir().mkdir(QStringLiteral("out"));
    }
    ~TAppFixture() {
        Main.reset();
        QDir::setCurrent(OldCurrent);
    }
    TAppFixture(const TAppFixture&) = delete;
    TAppFixture& operator=(const TAppFixture&) = delete;

    void CopyData(const char* from, const QString& to) const {
        QFile::copy(QStringLiteral(K2L_TEST_DATA "/") + QString::fromLatin1(from),
                    Folder.path() + u'/' + to);
    }
    QString OutPath(const QString& name) const { return Folder.path() + "/out/" + name; }

    // The records of a written table, without the deleted flag's meaning: raw bytes each.
    QList<QByteArray> Records(const QString& name) const {
        QFile file(OutPath(name));
        if (!file.open(QIODevice::ReadOnly)) return {};
        const QByteArray bytes = file.readAll();
        if (bytes.size() < 32) return {};
        auto u16 = [&](int at) {
            return static_cast<int>(static_cast<unsigned char>(bytes[at])) |
                   static_cast<int>(static_cast<unsigned char>(bytes[at + 1])) << 8;
        };
        const int count = u16(4);
        const int header = u16(8);
        const int length = u16(10);
        QList<QByteArray> records;
        for (int i = 0; i < count; ++i) records.append(bytes.mid(header + i * length, length));
        return records;
    }
    // One field of a record as UTF-8 text with its padding trimmed.
    static QString Field(const QByteArray& record, int offset, int length) {
        const QByteArray oem = record.mid(offset, length);
        return QString::fromStdString(OemToAnsiText(std::string_view(oem.data(), oem.size())))
            .trimmed();
    }

    QTemporaryDir Folder;
    QString OldCurrent;
    TScriptedDialogs Dialogs;
    std::unique_ptr<TMainForm> Main;
    TDataViewerForm* Viewer = nullptr;
};

// Types text as key presses into `widget`, or into whatever has the focus at each key (a cell
// editor opened by the first key takes the rest). Works for any character, Cyrillic included.
inline void TypeText(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        QWidget* target = widget ? widget : QApplication::focusWidget();
        const auto key = static_cast<Qt::Key>(ch.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, target, key, QString(ch), Qt::NoModifier);
    }
}

// Field places in the directory table's records (offset, length), the deleted flag at 0.
inline constexpr int kDirName[] = {36, 50};
inline constexpr int kDirRprice[] = {126, 10};
inline constexpr int kDirKod[] = {21, 15};
// And in the receipt table's records.
inline constexpr int kRecName[] = {36, 50};
inline constexpr int kRecKolvo[] = {86, 10};

inline const QString kDirectoryFile = QStringLiteral("Справочник.dbf");
inline const QString kReceiptFile = QStringLiteral("Приходы.dbf");
