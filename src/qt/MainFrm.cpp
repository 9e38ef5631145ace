#include "qt/MainFrm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <clocale>

#include "app/AppRules.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "qt/AppStartup.h"
#include "qt/DataViewerFrm.h"
#include "qt/Dialogs.h"
#include "qt/FileNameEdit.h"
#include "qt/GoodsGrid.h"
#include "qt/OemValidator.h"
#include "qt/ProgressSink.h"
#include "qt/RegionalCurrency.h"
#include "text/DecimalSeparator.h"

const QString TMainForm::kCaption = QStringLiteral("Импорт справочника из KELVA в ЛАРМИС");

const QStringList TMainForm::kInstructions = {
    QStringLiteral(
        "Для импорта справочника товаров в ЛАРМИС из KELVA необходимо сформировать отчет по "),
    QStringLiteral("остаткам товара на последнюю смену и сохранить отчет на дискетку с помощью "),
    QStringLiteral(
        "комбинации Ctrl+F. Если после сохранения прочитать дискетку окажется невозможным "),
    QStringLiteral(
        "(возможно, что и отформатировать ее уже не удастся), обратитесь в организацию KELVA, "),
    QStringLiteral("возможно они смогут предложить другой способ импорта остатков товара."),
    QStringLiteral(
        "Не зная, в каком формате хранятся данные KELVA, другой способ импорта справочника"),
    QStringLiteral("невозможен."),
    QStringLiteral(
        "На дискетке должен быть создан файл PRINT.TXT. Основные данные, хранимые в нем -"),
    QStringLiteral(
        "остатки товара и цены товара. Без знания цен товара испорт в ЛАРМИС невозможен."),
    QStringLiteral("Наименования товаров системы KELVA хранятся в файле ARTICLE.TXT. Необходимо"),
    QStringLiteral("указать последнюю версию данного файла."),
    QStringLiteral(
        "ЛАРМИС не допускает наличие отрицательных остатков, поэтому для всех товаров с"),
    QStringLiteral("отрицательными остатками будет установлен остаток = 0."),
    QStringLiteral(
        "В ЛАРМИС сначала необходимо загрузить справочник товаров (меню Товары / Справочники /"),
    QStringLiteral("Товары), а после этого провести ускоренную инвентаризацию (меню Товары / "),
    QStringLiteral(
        "Инвернатицация). В окне инвентаризации следует нажать кнопку \"Загрузить\" и в окне"),
    QStringLiteral("открытия файла выбрать файл с расширением DBF (Приход.dbf)."),
};

namespace {

constexpr int kClientWidth = 510;
constexpr int kClientHeight = 520;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* MakeOemEdit(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setValidator(new TOemValidator(edit));
    edit->setText(text);
    edit->setGeometry(geometry);
    return edit;
}

TFileNameEdit* MakeNameBox(QWidget* parent, TBrowseKind kind, const char* name, const QString& text,
                           QRect geometry) {
    auto* edit = new TFileNameEdit(kind, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setText(text);
    edit->setGeometry(geometry);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kCaption);
    setFont(FormFont());
    setWindowIcon(AppIcon());
    SetButtonFaceBackground(this);
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
    FormCreate();
}

TMainForm::~TMainForm() {
    // The viewer's grid is a view of mdGoods: it goes before the table does (children would
    // otherwise outlive this object's members).
    delete Viewer;
}

void TMainForm::CreateControls() {
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 492, 236);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFocusPolicy(Qt::StrongFocus);
    Memo1->setPlainText(kInstructions.join(u'\n'));

    Label1 =
        MakeLabel(this, "Label1", QStringLiteral("Укажите расположение файла PRINT.TXT:"), 8, 248);
    edOpenPRINT = MakeNameBox(this, bkFile, "edOpenPRINT", QStringLiteral("PRINT.TXT"),
                              QRect(8, 263, 492, 21));
    Label2 = MakeLabel(this, "Label2",
                       QStringLiteral("Укажите расположение файла ARTICLE.LST или ARTICLE.TXT:"), 8,
                       292);
    edOpenARTICLE = MakeNameBox(this, bkFile, "edOpenARTICLE", QStringLiteral("ARTICLE.TXT"),
                                QRect(10, 308, 492, 21));
    Label6 = MakeLabel(this, "Label6",
                       QStringLiteral("Укажите каталог для сохранения файлов \"Справочник.dbf\" "
                                      "и \"Приход.dbf\":"),
                       8, 339);
    edDBFFolder = MakeNameBox(this, bkFolder, "edDBFFolder", QString(), QRect(10, 355, 492, 21));
    Label3 = MakeLabel(this, "Label3",
                       QStringLiteral("Укажите префикс для генератора штрих-кодов:"), 8, 385);
    edBarCodePrefix =
        MakeOemEdit(this, "edBarCodePrefix", QStringLiteral("222"), QRect(323, 382, 50, 21));
    Label4 =
        MakeLabel(this, "Label4",
                  QStringLiteral("Укажите стартовое значение для генератора штрих-кодов:"), 8, 409);
    edBarCodeStartValue =
        MakeOemEdit(this, "edBarCodeStartValue", QStringLiteral("1"), QRect(323, 406, 50, 21));
    cbWriteID =
        new QCheckBox(QStringLiteral("При экспорте в DBF сохранять идентификатор записи"), this);
    cbWriteID->setObjectName(QStringLiteral("cbWriteID"));
    cbWriteID->setGeometry(8, 431, 297, 17);
    cbWriteID->setChecked(false);
    Label5 = MakeLabel(this, "Label5", QStringLiteral("Значение НДС:"), 324, 433);
    edNDSValue = MakeOemEdit(this, "edNDSValue", QStringLiteral("18"), QRect(407, 429, 38, 21));

    // Starts with a count of 100, never shown: the run sets its own count before showing it.
    lbBarCodesGeneratedCount = MakeLabel(this, "lbBarCodesGeneratedCount",
                                         QString::fromStdString(GeneratedCountText(100)), 8, 456);
    QFont bold = lbBarCodesGeneratedCount->font();
    bold.setBold(true);
    lbBarCodesGeneratedCount->setFont(bold);
    lbBarCodesGeneratedCount->adjustSize();
    lbBarCodesGeneratedCount->hide();

    Button1 = MakeButton(this, "Button1", QStringLiteral("Обработать"), QRect(8, 482, 105, 25));
    Button2 = MakeButton(this, "Button2", QStringLiteral("Показать результаты"),
                         QRect(119, 482, 130, 25));
    btnSaveToDBF = MakeButton(this, "btnSaveToDBF", QStringLiteral("Сохранить в DBF-формате"),
                              QRect(255, 482, 162, 25));

    const QList<QWidget*> focusOrder = {
        Memo1,     edOpenPRINT,     edOpenARTICLE,       Button1,
        Button2,   edBarCodePrefix, edBarCodeStartValue, btnSaveToDBF,
        cbWriteID, edNDSValue,      edDBFFolder};
    for (qsizetype i = 1; i < focusOrder.size(); ++i) {
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    }

    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainForm::Button2Click);
    connect(btnSaveToDBF, &QPushButton::clicked, this, &TMainForm::btnSaveToDBFClick);
}

void TMainForm::FormCreate() {
    // The regional formats are read once here and never refreshed.
    Currency = TCurrencyFormat::FromRegional(RegionalCurrency(QLocale::system()));
    // "." for every number <-> text conversion, the C library's included (Qt set it from the
    // environment when the application object was created).
    SetDecimalSeparator('.');
    std::setlocale(LC_NUMERIC, "C");
    SetProgressAppName("ЛАРМИС");
    edDBFFolder->setText(
        QString::fromStdString(ProgramFolder(Utf8(QCoreApplication::applicationFilePath()))));
}

QWidget* TMainForm::DialogParent() {
    QWidget* active = QApplication::activeWindow();
    if (active && (active == this || active == Viewer)) return active;
    return this;
}

void TMainForm::Button1Click() {
    RunHandler(this, [&] {
        // Let pressed buttons be drawn released before the run blocks the thread.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        TImportInputs inputs;
        inputs.ArticleFile = FileNameValue(Utf8(edOpenARTICLE->text()));
        inputs.PrintFile = FileNameValue(Utf8(edOpenPRINT->text()));
        inputs.Prefix = Utf8(edBarCodePrefix->text());
        inputs.StartValue = Utf8(edBarCodeStartValue->text());
        inputs.NdsValue = Utf8(edNDSValue->text());
        RunImport(inputs, mdGoods, *this);
    });
}

void TMainForm::Button2Click() {
    RunHandler(this, [&] { ShowResults(); });
}

void TMainForm::btnSaveToDBFClick() {
    QWidget* parent = DialogParent();
    RunHandler(parent, [&] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        // A cell still in its editor is stored first: the export must write what the operator
        // sees. A refused cell has shown its message and stops the export.
        if (Viewer && !Viewer->DBGrid1->FinishEditing()) return;
        TExportInputs inputs;
        inputs.Folder = Utf8(edDBFFolder->text());
        inputs.WriteID = cbWriteID->isChecked();
        ExportGoods(inputs, mdGoods, *this);
    });
}

std::unique_ptr<IProgressSink> TMainForm::CreateProgress(const std::string& caption,
                                                         bool percentMode) {
    QPointer<QWidget> active = DialogParent();
    return CreateViewerSink(caption, percentMode, [active] {
        // The progress window had the keyboard; the window that started the step gets it back.
        if (active) active->activateWindow();
    });
}

void TMainForm::ShowWarning(const std::string& caption, const std::string& text) {
    Dialogs().Message(DialogParent(), diWarning, QString::fromStdString(caption),
                      QString::fromStdString(text));
}

void TMainForm::ShowInformation(const std::string& caption, const std::string& text) {
    Dialogs().Message(DialogParent(), diInformation, QString::fromStdString(caption),
                      QString::fromStdString(text));
}

void TMainForm::HideCount() {
    lbBarCodesGeneratedCount->hide();
}

void TMainForm::ShowCount(const std::string& text) {
    lbBarCodesGeneratedCount->setText(QString::fromStdString(text));
    lbBarCodesGeneratedCount->adjustSize();
    lbBarCodesGeneratedCount->show();
}

void TMainForm::ShowResults() {
    if (Viewer) Viewer->ShowViewer();
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (Centred) return;
    Centred = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    Memo1->setFocus();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program at once, the viewer and any edit included.
    QWidget::closeEvent(event);
    if (event->isAccepted()) QCoreApplication::quit();
}
