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

#include "../app/MainWindowCases.h"
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

void TMainFormTest::ControlPlaces_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(std::size(kMainControlCases)); ++i) {
        QTest::newRow(kMainControlCases[i].Name.data()) << i;
    }
}

void TMainFormTest::ControlPlaces() {
    QFETCH(int, index);
    const TMainControlCase& c = kMainControlCases[index];
    const QString name = QString::fromLatin1(c.Name.data(), static_cast<qsizetype>(c.Name.size()));
    TMainForm form;
    QCOMPARE(form.size(), QSize(kMainClientSize[0], kMainClientSize[1]));
    QWidget* control = form.findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget(), &form);
    QCOMPARE(control->isHidden(), !c.Shown);
    if (c.Width == 0) {
        QCOMPARE(control->pos(), QPoint(c.Left, c.Top));
    } else {
        QCOMPARE(control->geometry(), QRect(c.Left, c.Top, c.Width, c.Height));
    }
    const QString text = c.Text ? QString::fromUtf8(c.Text) : QString();
    switch (c.Kind) {
        case ckMemo:
            // Its lines are checked on their own.
            QVERIFY(qobject_cast<QPlainTextEdit*>(control));
            break;
        case ckLabel:
            QCOMPARE(qobject_cast<QLabel*>(control)->text(), text);
            break;
        case ckFolderBox:
            // The folder of the program's own file, without a trailing "/".
            QCOMPARE(qobject_cast<TFileNameEdit*>(control)->text(),
                     QCoreApplication::applicationDirPath());
            break;
        case ckFileBox:
            QCOMPARE(qobject_cast<TFileNameEdit*>(control)->text(), text);
            break;
        case ckEdit:
            QCOMPARE(qobject_cast<QLineEdit*>(control)->text(), text);
            break;
        case ckCheckBox:
            QCOMPARE(qobject_cast<QCheckBox*>(control)->text(), text);
            QCOMPARE(qobject_cast<QCheckBox*>(control)->isChecked(), false);
            break;
        case ckButton:
            QCOMPARE(qobject_cast<QPushButton*>(control)->text(), text);
            break;
    }
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
    QStringList order{QApplication::focusWidget()->objectName()};
    for (size_t i = 1; i < std::size(kMainFocusCases); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    QStringList want;
    for (const std::string_view name : kMainFocusCases) {
        want.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    QCOMPARE(order, want);
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
