#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

#include "ScriptedDialogs.h"
#include "app/AppRules.h"
#include "app/CurrencyFormat.h"
#include "qt/Dialogs.h"
#include "qt/OemValidator.h"
#include "qt/RegionalCurrency.h"

class TAppRulesTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();

    void FileNameValue_data();
    void FileNameValue();
    void ApplicationTitle_data();
    void ApplicationTitle();
    void ProgramFolder_data();
    void ProgramFolder();
    void ChooserNames_data();
    void ChooserNames();
    void ErrorDisplay_data();
    void ErrorDisplay();
    void HandlerWithoutErrorShowsNothing();
    void CurrencyFormat_data();
    void CurrencyFormat();
    void OemValidator_data();
    void OemValidator();

  private:
    QTemporaryDir Folder;
    QString OldCurrent;
};

void TAppRulesTest::initTestCase() {
    QVERIFY(Folder.isValid());
    OldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(Folder.path()));
    for (const char* name : {"PRINT.TXT", "my file.txt"}) {
        QFile file(QString::fromUtf8(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QVERIFY(QDir().mkdir(QStringLiteral("sub dir")));
}

void TAppRulesTest::cleanupTestCase() {
    QDir::setCurrent(OldCurrent);
}

void TAppRulesTest::FileNameValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::newRow("an existing relative name is taken as typed") << "PRINT.TXT"
                                                                 << "PRINT.TXT";
    QTest::newRow("an existing name with a blank is taken whole") << "my file.txt"
                                                                  << "my file.txt";
    QTest::newRow("a quoted name with a blank loses its quotes") << "\"my file.txt\""
                                                                 << "my file.txt";
    QTest::newRow("a missing name with a blank gives its part before the blank") << "no such.txt"
                                                                                 << "no";
    QTest::newRow("a folder is no file: only the first word") << "sub dir"
                                                              << "sub";
    QTest::newRow("blanks only give the empty name") << "   "
                                                     << "";
    QTest::newRow("the empty text gives the empty name") << ""
                                                         << "";
    QTest::newRow("leading blanks and controls are skipped") << " \t ARTICLE.TXT"
                                                             << "ARTICLE.TXT";
    QTest::newRow("a leading pair of quotes is skipped") << "\"\"abc def"
                                                         << "abc";
    QTest::newRow("quoted stretches join the word around them") << "a\"b c\"d e"
                                                                << "ab cd";
    QTest::newRow("an unclosed quote takes the rest") << "\"abc def"
                                                      << "abc def";
    QTest::newRow("a tab ends the word") << "abc\tdef"
                                         << "abc";
    QTest::newRow("a blank before an existing name is not skipped for the file test")
        << " PRINT.TXT"
        << "PRINT.TXT";
    QTest::newRow("Cyrillic names pass") << "Отчёт за май.txt"
                                         << "Отчёт";
}

void TAppRulesTest::FileNameValue() {
    QFETCH(QString, text);
    QFETCH(QString, value);
    QCOMPARE(QString::fromStdString(::FileNameValue(text.toStdString())), value);
}

void TAppRulesTest::ApplicationTitle_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("the program of this project") << "/usr/bin/kelva2larmis"
                                                 << "kelva2larmis";
    QTest::newRow("everything from the first dot goes") << "/opt/KELVA2LARMIS.exe.old"
                                                        << "Kelva2larmis";
    QTest::newRow("a dot in the folder does not count") << "/a.b/prog"
                                                        << "prog";
    QTest::newRow("the first letter stays, the rest is lowered") << "/x/kELVA"
                                                                 << "kelva";
    QTest::newRow("Cyrillic letters are lowered too") << "/x/ПРОГРАММА.bin"
                                                      << "Программа";
    QTest::newRow("a name without folder") << "Project1"
                                           << "Project1";
    QTest::newRow("a name that starts with a dot is empty") << "/x/.hidden"
                                                            << "";
}

void TAppRulesTest::ApplicationTitle() {
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(QString::fromStdString(::ApplicationTitle(path.toStdString())), title);
}

void TAppRulesTest::ProgramFolder_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::newRow("a folder loses its trailing delimiter") << "/usr/bin/kelva2larmis"
                                                           << "/usr/bin";
    QTest::newRow("the root keeps its delimiter") << "/kelva2larmis"
                                                  << "/";
    QTest::newRow("a deep folder") << "/a/b c/d/prog"
                                   << "/a/b c/d";
}

void TAppRulesTest::ProgramFolder() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QCOMPARE(QString::fromStdString(::ProgramFolder(path.toStdString())), folder);
}

void TAppRulesTest::ChooserNames_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a plain path is shown as it is") << "/tmp/PRINT.TXT" << true << "/tmp/PRINT.TXT";
    QTest::newRow("a path with a blank is quoted")
        << "/tmp/a b/PRINT.TXT" << true << "\"/tmp/a b/PRINT.TXT\"";
    QTest::newRow("a path already quoted stays") << "\"/tmp/a b\"" << false << "\"/tmp/a b\"";
    QTest::newRow("angle brackets make it invalid") << "/tmp/<x>" << false << "/tmp/<x>";
    QTest::newRow("square brackets make it invalid") << "/tmp/[x]" << false << "/tmp/[x]";
    QTest::newRow("a bar makes it invalid") << "a|b" << false << "a|b";
}

void TAppRulesTest::ChooserNames() {
    QFETCH(QString, path);
    QFETCH(bool, valid);
    QFETCH(QString, shown);
    QCOMPARE(IsValidFileName(path.toStdString()), valid);
    QCOMPARE(QString::fromStdString(QuoteChosenPath(path.toStdString())), shown);
}

void TAppRulesTest::ErrorDisplay_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("an exclamation mark gets no full stop") << "Файл ARTICLE.TXT не найден!"
                                                           << "Файл ARTICLE.TXT не найден!";
    QTest::newRow("a letter gets a full stop") << "Ошибка при поиске записи"
                                               << "Ошибка при поиске записи.";
    QTest::newRow("a digit gets a full stop") << "value 5"
                                              << "value 5.";
    QTest::newRow("a full stop stays single") << "Done."
                                              << "Done.";
    QTest::newRow("a quote is below the full stop")
        << "'12,5' is not a valid floating point value for field 'RPRICE'"
        << "'12,5' is not a valid floating point value for field 'RPRICE'";
    QTest::newRow("a hyphen is below the full stop") << "a -"
                                                     << "a -";
    QTest::newRow("a slash is above the full stop") << "a/"
                                                    << "a/.";
}

void TAppRulesTest::ErrorDisplay() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    TScriptedDialogs dialogs;
    RunHandler(nullptr, [&] { throw std::runtime_error(message.toStdString()); });
    QCOMPARE(dialogs.Boxes.size(), 1);
    QCOMPARE(dialogs.Boxes[0].Icon, diError);
    QCOMPARE(dialogs.Boxes[0].Title, QStringLiteral("test_app_rules"));
    QCOMPARE(dialogs.Boxes[0].Text, shown);
}

void TAppRulesTest::HandlerWithoutErrorShowsNothing() {
    TScriptedDialogs dialogs;
    int runs = 0;
    RunHandler(nullptr, [&] { ++runs; });
    QCOMPARE(runs, 1);
    QCOMPARE(dialogs.Boxes.size(), 0);
}

void TAppRulesTest::CurrencyFormat_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("edited");
    QTest::newRow("C: two decimals, no sign") << "C" << 12.5 << "12.50"
                                              << "12.50";
    QTest::newRow("C: negative") << "C" << -3.0 << "-3.00"
                                 << "-3.00";
    QTest::newRow("en_US: sign in front") << "en_US" << 1234.5 << "$1234.50"
                                          << "1234.50";
    QTest::newRow("en_US: brackets for negatives") << "en_US" << -3.0 << "($3.00)"
                                                   << "-3.00";
    QTest::newRow("ru_RU: sign behind, point kept")
        << "ru_RU" << 34.9 << QString::fromUtf8("34.90\u00A0\u20BD") << "34.90";
    QTest::newRow("ru_RU: minus in front")
        << "ru_RU" << -1.25 << QString::fromUtf8("-1.25\u00A0\u20BD") << "-1.25";
    QTest::newRow("sv_SE: the locale's own minus sign, once")
        << "sv_SE" << -3.0 << QString::fromUtf8("\u22123.00\u00A0kr") << "-3.00";
    QTest::newRow("ja_JP: no decimals") << "ja_JP" << 12.6 << QString::fromUtf8("\uFFE513") << "13";
    QTest::newRow("a value rounding to zero has no minus") << "C" << -0.001 << "0.00"
                                                           << "-0.00";
}

void TAppRulesTest::CurrencyFormat() {
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, shown);
    QFETCH(QString, edited);
    const TCurrencyFormat format = TCurrencyFormat::FromRegional(RegionalCurrency(QLocale(locale)));
    QCOMPARE(QString::fromStdString(format.Format(value)), shown);
    QCOMPARE(QString::fromStdString(format.EditText(value)), edited);
}

void TAppRulesTest::OemValidator_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("ASCII") << "ARTICLE.TXT" << true;
    QTest::newRow("Cyrillic") << "Справочник" << true;
    QTest::newRow("yo and the number sign of code page 866") << "ёЁ№" << true;
    QTest::newRow("box drawing of code page 866") << "╔═╗" << true;
    QTest::newRow("the empty text") << "" << true;
    QTest::newRow("the euro sign is not in code page 866") << "12€" << false;
    QTest::newRow("typographic quotes are not") << "\u201Cx\u201D" << false;
    QTest::newRow("CJK is not") << "日本" << false;
}

void TAppRulesTest::OemValidator() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    TOemValidator validator;
    int pos = 0;
    QCOMPARE(validator.validate(text, pos) == QValidator::Acceptable, accepted);
}

QTEST_GUILESS_MAIN(TAppRulesTest)
#include "test_app_rules.moc"
