#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "AppFixture.h"
#include "progress/ProgressViewer.h"
#include "qt/AppStartup.h"
#include "qt/FileNameEdit.h"
#include "qt/GoodsGrid.h"

namespace {

const QString kTitle = QStringLiteral("test_main_form");
const QString kNotFound = QStringLiteral("Файл ARTICLE.TXT не найден!");

template <class T>
T* Control(const TAppFixture& app, const char* name) {
    return app.Main->findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

class TMainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();

    void InputDefaults_data();
    void InputDefaults();
    void ControlPlaces_data();
    void ControlPlaces();
    void InstructionLinesKeepTheirTrailingBlanks();
    void FocusOrder();
    void FixedDialogFrameWithTahoma();
    void WindowOpensCentredOnTheScreen();
    void CountLabelHiddenAtStart();
    void OemBoxesRefuseCharactersOutsideTheCodePage();
    void FileChooserStartsAtTheValueAndQuotesTheAnswer();
    void FileChooserCancelKeepsTheText();
    void FolderChooserStart_data();
    void FolderChooserStart();
    void MissingArticleListIsReportedWithoutFullStop();
    void BlankArticleBoxReportsTheEmptyName();
    void ShowResultsBeforeImportShowsAnEmptyGrid();
    void SaveBeforeImportReportsNoData();
    void ImportShowsCountAndViewer();
    void ImportWithoutStockReportWarnsAndSetsDefaults();
    void ImportThenSaveWritesBothTables();
    void WindowUsableAfterAnError();
    void QuotedPathWithBlanksIsImported();
};

void TMainFormTest::initTestCase() {
    LoadApplicationFonts();
    ProgressViewerStartup();
}

void TMainFormTest::cleanupTestCase() {
    ProgressViewerShutdown();
}

void TMainFormTest::InputDefaults_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("stock report box") << "edOpenPRINT"
                                      << "PRINT.TXT";
    QTest::newRow("article list box") << "edOpenARTICLE"
                                      << "ARTICLE.TXT";
    QTest::newRow("barcode prefix") << "edBarCodePrefix"
                                    << "222";
    QTest::newRow("barcode start value") << "edBarCodeStartValue"
                                         << "1";
    QTest::newRow("VAT rate") << "edNDSValue"
                              << "18";
}

void TMainFormTest::InputDefaults() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    TMainForm form;
    auto* edit = form.findChild<QLineEdit*>(name);
    QVERIFY(edit);
    QCOMPARE(edit->text(), text);
    QCOMPARE(form.cbWriteID->isChecked(), false);
    // The folder box holds the folder of the program's own file, without a trailing "/".
    QCOMPARE(form.edDBFFolder->text(), QCoreApplication::applicationDirPath());
}

void TMainFormTest::ControlPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");  // width 0: a label, sized by its text
    const auto row = [](const char* name, const char* text, int x, int y, int w, int h) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text)
                            << QRect(x, y, w, h);
    };
    row("Memo1", nullptr, 8, 8, 492, 236);
    row("Label1", "Укажите расположение файла PRINT.TXT:", 8, 248, 0, 0);
    row("edOpenPRINT", "PRINT.TXT", 8, 263, 492, 21);
    row("Label2", "Укажите расположение файла ARTICLE.LST или ARTICLE.TXT:", 8, 292, 0, 0);
    row("edOpenARTICLE", "ARTICLE.TXT", 10, 308, 492, 21);
    row("Label6", "Укажите каталог для сохранения файлов \"Справочник.dbf\" и \"Приход.dbf\":", 8,
        339, 0, 0);
    row("edDBFFolder", nullptr, 10, 355, 492, 21);
    row("Label3", "Укажите префикс для генератора штрих-кодов:", 8, 385, 0, 0);
    row("edBarCodePrefix", "222", 323, 382, 50, 21);
    row("Label4", "Укажите стартовое значение для генератора штрих-кодов:", 8, 409, 0, 0);
    row("edBarCodeStartValue", "1", 323, 406, 50, 21);
    row("cbWriteID", "При экспорте в DBF сохранять идентификатор записи", 8, 431, 297, 17);
    row("Label5", "Значение НДС:", 324, 433, 0, 0);
    row("edNDSValue", "18", 407, 429, 38, 21);
    row("lbBarCodesGeneratedCount",
        "Было найдено и обработано 100 наименований товара без штрих-кода. ", 8, 456, 0, 0);
    row("Button1", "Обработать", 8, 482, 105, 25);
    row("Button2", "Показать результаты", 119, 482, 130, 25);
    row("btnSaveToDBF", "Сохранить в DBF-формате", 255, 482, 162, 25);
}

void TMainFormTest::ControlPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    TMainForm form;
    QWidget* control = form.findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget(), &form);
    if (geometry.width() == 0) {
        QCOMPARE(control->pos(), geometry.topLeft());
    } else {
        QCOMPARE(control->geometry(), geometry);
    }
    if (text.isNull()) return;
    if (auto* label = qobject_cast<QLabel*>(control)) QCOMPARE(label->text(), text);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) QCOMPARE(edit->text(), text);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) QCOMPARE(button->text(), text);
}

void TMainFormTest::InstructionLinesKeepTheirTrailingBlanks() {
    TMainForm form;
    const QStringList lines = form.Memo1->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 17);
    QCOMPARE(lines[0],
             QStringLiteral("Для импорта справочника товаров в ЛАРМИС из KELVA необходимо "
                            "сформировать отчет по "));
    QCOMPARE(lines[6], QStringLiteral("невозможен."));
    QCOMPARE(lines[14],
             QStringLiteral("Товары), а после этого провести ускоренную инвентаризацию (меню "
                            "Товары / "));
    QCOMPARE(lines[16],
             QStringLiteral("открытия файла выбрать файл с расширением DBF (Приход.dbf)."));
    // Lines 1 to 4 and 15 end with a blank; the others do not.
    QList<int> withBlank;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].endsWith(u' ')) withBlank.append(i + 1);
    }
    QCOMPARE(withBlank, (QList<int>{1, 2, 3, 4, 15}));
    QVERIFY(form.Memo1->isReadOnly());
    QCOMPARE(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(form.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

void TMainFormTest::FocusOrder() {
    TAppFixture app;
    app.Main->show();
    QVERIFY(QTest::qWaitForWindowActive(app.Main.get()));
    QCOMPARE(QApplication::focusWidget(), app.Main->Memo1);
    QStringList order;
    for (int i = 0; i < 11; ++i) {
        order.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, (QStringList{"Memo1", "edOpenPRINT", "edOpenARTICLE", "Button1", "Button2",
                                 "edBarCodePrefix", "edBarCodeStartValue", "btnSaveToDBF",
                                 "cbWriteID", "edNDSValue", "edDBFFolder"}));
}

void TMainFormTest::FixedDialogFrameWithTahoma() {
    TMainForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Импорт справочника из KELVA в ЛАРМИС"));
    QCOMPARE(form.minimumSize(), QSize(510, 520));
    QCOMPARE(form.maximumSize(), QSize(510, 520));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.edNDSValue->font().pixelSize(), 11);
    QCOMPARE(form.edNDSValue->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(form.lbBarCodesGeneratedCount->font().bold(), true);
    QCOMPARE(form.windowIcon().isNull(), false);
    // Every size of the icon is built into the program, not only named.
    for (const int size : {16, 32, 256}) {
        const QImage picture = form.windowIcon().pixmap(size, size).toImage();
        QCOMPARE(picture.size(), QSize(size, size));
        QVERIFY(picture.pixelColor(size / 2, size / 2).alpha() > 0);
    }
    if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"))) {
        QSKIP("Tahoma is not installed here");
    }
    QCOMPARE(QFontInfo(form.Memo1->font()).family(), QStringLiteral("Tahoma"));
    // The bold caption is drawn visibly heavier than the same text in the regular face.
    const auto ink = [](const QFont& font) {
        QImage image(300, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(2, 22, QStringLiteral("Сгенерировано штрих-кодов: 20"));
        painter.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    };
    QFont regular = form.lbBarCodesGeneratedCount->font();
    regular.setBold(false);
    QVERIFY2(ink(form.lbBarCodesGeneratedCount->font()) > ink(regular) * 5 / 4,
             "bold text is no heavier than regular text");
}

void TMainFormTest::WindowOpensCentredOnTheScreen() {
    TAppFixture app;
    app.Main->show();
    const QScreen* screen = app.Main->screen();
    QVERIFY(screen != nullptr);
    // The whole screen, not the work area a taskbar leaves.
    QCOMPARE(app.Main->frameGeometry().center(), screen->geometry().center());
}

void TMainFormTest::CountLabelHiddenAtStart() {
    TAppFixture app;
    app.Main->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.Main.get()));
    QCOMPARE(app.Main->lbBarCodesGeneratedCount->isVisible(), false);
    QCOMPARE(app.Viewer->isVisible(), false);
    QCOMPARE(app.Main->mdGoods.IsOpen(), false);
}

void TMainFormTest::OemBoxesRefuseCharactersOutsideTheCodePage() {
    TMainForm form;
    for (QLineEdit* edit : {static_cast<QLineEdit*>(form.edOpenPRINT), form.edBarCodePrefix,
                            form.edNDSValue, static_cast<QLineEdit*>(form.edDBFFolder)}) {
        edit->clear();
        TypeText(edit, QStringLiteral("ё€1\u201C"));
        QCOMPARE(edit->text(), QStringLiteral("ё1"));
    }
}

void TMainFormTest::FileChooserStartsAtTheValueAndQuotesTheAnswer() {
    TAppFixture app;
    app.Main->show();
    QVERIFY(QTest::qWaitForWindowActive(app.Main.get()));
    const QString folder = app.Folder.path();
    QVERIFY(QDir(folder).mkdir(QStringLiteral("sub dir")));
    QFile(folder + "/my file.txt").open(QIODevice::WriteOnly);

    TFileNameEdit* box = app.Main->edOpenPRINT;
    box->setText('"' + folder + "/my file.txt\"");
    app.Dialogs.ChooserAnswers.append(folder + "/sub dir/PRINT.TXT");
    box->BrowseAction()->trigger();
    QCOMPARE(app.Dialogs.Choosers.size(), 1);
    QCOMPARE(app.Dialogs.Choosers[0].Title, QStringLiteral("Список"));
    QCOMPARE(app.Dialogs.Choosers[0].Filter, QStringLiteral("Все файлы (*.*)"));
    QCOMPARE(app.Dialogs.Choosers[0].Folder, folder);
    QCOMPARE(app.Dialogs.Choosers[0].Name, QStringLiteral("my file.txt"));
    QCOMPARE(box->text(), '"' + folder + "/sub dir/PRINT.TXT\"");
    QCOMPARE(QApplication::focusWidget(), box);

    // A name the chooser cannot take keeps the chooser's last folder and name.
    box->setText(QStringLiteral("a|b"));
    box->BrowseAction()->trigger();
    QCOMPARE(app.Dialogs.Choosers[1].Folder, folder + "/sub dir");
    QCOMPARE(app.Dialogs.Choosers[1].Name, QStringLiteral("PRINT.TXT"));

    // A value ending in "/" presets no name; a folder part that does not exist is not used.
    box->setText(folder + '/');
    box->BrowseAction()->trigger();
    QCOMPARE(app.Dialogs.Choosers[2].Folder, folder);
    QCOMPARE(app.Dialogs.Choosers[2].Name, QString());
    box->setText(QStringLiteral("/no/such/folder/x.txt"));
    box->BrowseAction()->trigger();
    QCOMPARE(app.Dialogs.Choosers[3].Folder, folder);
    QCOMPARE(app.Dialogs.Choosers[3].Name, QStringLiteral("x.txt"));
}

void TMainFormTest::FileChooserCancelKeepsTheText() {
    TAppFixture app;
    app.Main->edOpenARTICLE->BrowseAction()->trigger();
    QCOMPARE(app.Dialogs.Choosers.size(), 1);
    QCOMPARE(app.Main->edOpenARTICLE->text(), QStringLiteral("ARTICLE.TXT"));
    // An existing relative name has no folder part: the chooser gets the name only.
    QCOMPARE(app.Dialogs.Choosers[0].Name, QStringLiteral("ARTICLE.TXT"));
}

void TMainFormTest::FolderChooserStart_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::newRow("an empty box starts at the root") << ""
                                                     << "/";
    QTest::newRow("a folder that does not exist starts at the root") << "/no/such/dir"
                                                                     << "/";
    QTest::newRow("an existing folder starts there") << "/tmp"
                                                     << "/tmp";
}

void TMainFormTest::FolderChooserStart() {
    QFETCH(QString, text);
    QFETCH(QString, start);
    TAppFixture app;
    app.Main->edDBFFolder->setText(text);
    app.Dialogs.ChooserAnswers.append(app.Folder.path());
    app.Main->edDBFFolder->BrowseAction()->trigger();
    QCOMPARE(app.Dialogs.Choosers.size(), 1);
    QCOMPARE(app.Dialogs.Choosers[0].Title, QStringLiteral("Select Directory"));
    QCOMPARE(app.Dialogs.Choosers[0].Folder, start);
    QCOMPARE(app.Main->edDBFFolder->text(), app.Folder.path());
}

void TMainFormTest::MissingArticleListIsReportedWithoutFullStop() {
    TAppFixture app(false, true);
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 1);
    QCOMPARE(app.Dialogs.Boxes[0].Icon, diError);
    QCOMPARE(app.Dialogs.Boxes[0].Title, kTitle);
    QCOMPARE(app.Dialogs.Boxes[0].Text, kNotFound);
    QCOMPARE(app.Main->mdGoods.IsOpen(), false);
    QCOMPARE(app.Viewer->isVisible(), false);
}

void TMainFormTest::BlankArticleBoxReportsTheEmptyName() {
    TAppFixture app;
    app.Main->edOpenARTICLE->setText(QStringLiteral("   "));
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Texts(), QStringList{QStringLiteral("Файл  не найден!")});
}

void TMainFormTest::ShowResultsBeforeImportShowsAnEmptyGrid() {
    TAppFixture app;
    app.Main->show();
    app.Main->Button2->click();
    QCOMPARE(app.Viewer->isVisible(), true);
    QCOMPARE(app.Viewer->windowTitle(), QStringLiteral("Данные, полученные из KELVA"));
    QCOMPARE(app.Viewer->DBGrid1->model()->rowCount(), 0);
    QCOMPARE(app.Viewer->DBGrid1->model()->columnCount(), 0);
    QCOMPARE(app.Dialogs.Boxes.size(), 0);
}

void TMainFormTest::SaveBeforeImportReportsNoData() {
    TAppFixture app;
    app.Main->btnSaveToDBF->click();
    QCOMPARE(app.Dialogs.Texts(), QStringList{QStringLiteral("Нет данных для сохранения в BDF!")});
    QCOMPARE(app.Dialogs.Boxes[0].Icon, diError);
    QCOMPARE(QFile::exists(app.OutPath(kDirectoryFile)), false);
    QCOMPARE(QFile::exists(app.OutPath(kReceiptFile)), false);
}

void TMainFormTest::ImportShowsCountAndViewer() {
    TAppFixture app;
    app.Main->show();
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 0);
    QCOMPARE(app.Main->lbBarCodesGeneratedCount->isVisible(), true);
    QCOMPARE(app.Main->lbBarCodesGeneratedCount->text(),
             QStringLiteral("Было найдено и обработано 2 наименований товара без штрих-кода. "));
    QCOMPARE(app.Viewer->isVisible(), true);
    const QAbstractItemModel* model = app.Viewer->DBGrid1->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->columnCount(), 7);
    QCOMPARE(model->index(1, gfKOD).data().toString(), QStringLiteral("2220000000001"));
    QCOMPARE(model->index(0, gfOSTATOK).data().toString(), QStringLiteral("12.5"));
    QCOMPARE(model->index(1, gfRPRICE).data().toString(), QStringLiteral("1.00"));
}

void TMainFormTest::ImportWithoutStockReportWarnsAndSetsDefaults() {
    TAppFixture app(true, false);
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 1);
    QCOMPARE(app.Dialogs.Boxes[0].Icon, diWarning);
    QCOMPARE(app.Dialogs.Boxes[0].Title, QStringLiteral("Внимание!"));
    QCOMPARE(app.Dialogs.Boxes[0].Text,
             QStringLiteral("Файл PRINT.TXT не найден, поэтому поля \"Цена\" и \"Остаток\" "
                            "примут значения по умолчанию (Цена=1, Остаток=0)"));
    const QAbstractItemModel* model = app.Viewer->DBGrid1->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(2, gfRPRICE).data().toString(), QStringLiteral("1.00"));
    QCOMPARE(model->index(2, gfOSTATOK).data().toString(), QStringLiteral("0"));
}

void TMainFormTest::ImportThenSaveWritesBothTables() {
    TAppFixture app;
    app.Main->Button1->click();
    app.Main->btnSaveToDBF->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 1);
    QCOMPARE(app.Dialogs.Boxes[0].Icon, diInformation);
    QCOMPARE(app.Dialogs.Boxes[0].Title, QStringLiteral("Сообщение"));
    QCOMPARE(app.Dialogs.Boxes[0].Text, QStringLiteral("Данные сохранены!"));
    const QList<QByteArray> directory = app.Records(kDirectoryFile);
    QCOMPARE(directory.size(), 3);
    QCOMPARE(TAppFixture::Field(directory[0], kDirName[0], kDirName[1]),
             QStringLiteral("Хлеб белый"));
    QCOMPARE(TAppFixture::Field(directory[0], kDirRprice[0], kDirRprice[1]),
             QStringLiteral("34.90"));
    QCOMPARE(TAppFixture::Field(directory[2], kDirKod[0], kDirKod[1]),
             QStringLiteral("2220000000002"));
    // Only the rows in stock reach the receipt table: 102 has a negative quantity.
    const QList<QByteArray> receipt = app.Records(kReceiptFile);
    QCOMPARE(receipt.size(), 2);
    QCOMPARE(TAppFixture::Field(receipt[1], kRecName[0], kRecName[1]),
             QStringLiteral("Сахар-песок"));
    QCOMPARE(TAppFixture::Field(receipt[1], kRecKolvo[0], kRecKolvo[1]), QStringLiteral("7.00"));
}

void TMainFormTest::WindowUsableAfterAnError() {
    TAppFixture app;
    app.Main->show();
    app.Main->Button1->click();
    app.Main->edBarCodePrefix->setText(QStringLiteral("abc"));
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Texts(),
             QStringList{QStringLiteral("Задан недопустимый префикс штрих-кода!")});
    // A run stopped by its input checks leaves the count and the rows as they were.
    QCOMPARE(app.Main->lbBarCodesGeneratedCount->isVisible(), true);
    QCOMPARE(app.Main->mdGoods.RowCount(), 3);
    QCOMPARE(app.Main->edBarCodePrefix->text(), QStringLiteral("abc"));
    app.Main->edBarCodePrefix->setText(QStringLiteral("77"));
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 1);
    QCOMPARE(app.Viewer->DBGrid1->model()->index(1, gfKOD).data().toString(),
             QStringLiteral("7700000000001"));
}

void TMainFormTest::QuotedPathWithBlanksIsImported() {
    TAppFixture app(false, true);
    QVERIFY(QDir(app.Folder.path()).mkdir(QStringLiteral("from kelva")));
    app.CopyData("app_ARTICLE.TXT", QStringLiteral("from kelva/ART LIST.TXT"));
    const QString path = app.Folder.path() + QStringLiteral("/from kelva/ART LIST.TXT");
    app.Main->edOpenARTICLE->setText('"' + path + '"');
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 0);
    QCOMPARE(app.Main->mdGoods.RowCount(), 3);
    // Typed without quotes it works while the file exists ...
    app.Main->edOpenARTICLE->setText(path);
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Boxes.size(), 0);
    // ... and yields only the part before the blank when it does not.
    app.Main->edOpenARTICLE->setText(app.Folder.path() + QStringLiteral("/from kelva/NO FILE"));
    app.Main->Button1->click();
    QCOMPARE(app.Dialogs.Texts(),
             QStringList{"Файл " + app.Folder.path() + QStringLiteral("/from не найден!")});
}

QTEST_MAIN(TMainFormTest)
#include "test_main_form.moc"
