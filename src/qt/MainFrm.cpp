#include "qt/MainFrm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/WindowTexts.h"
#include "qt/AppStartup.h"
#include "qt/DataViewerFrm.h"
#include "qt/FileNameEdit.h"
#include "qt/GoodsGrid.h"
#include "qt/OemValidator.h"
#include "qt/RegionalCurrency.h"

namespace {

constexpr int kClientWidth = 510;
constexpr int kClientHeight = 520;

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* MakeOemEdit(QWidget* parent, const char* name, const std::string& text, QRect geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setValidator(new TOemValidator(edit));
    edit->setText(Text(text));
    edit->setGeometry(geometry);
    return edit;
}

TFileNameEdit* MakeNameBox(QWidget* parent, TBrowseKind kind, const char* name,
                           const std::string& text, QRect geometry) {
    auto* edit = new TFileNameEdit(kind, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setText(Text(text));
    edit->setGeometry(geometry);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, QRect geometry) {
    auto* button = new QPushButton(Text(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Shell(this),
      // The regional formats are read once here and never refreshed.
      Main(Shell, RegionalCurrency(QLocale::system())),
      mdGoods(Main.mdGoods) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(Text(kMainCaption));
    setFont(FormFont());
    setWindowIcon(AppIcon());
    SetButtonFaceBackground(this);
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
    Main.SetView(this);
}

TMainForm::~TMainForm() {
    Main.SetView(nullptr);
    Main.SetGrid(nullptr);
    // The viewer's grid is a view of mdGoods: it goes before the table does (children would
    // otherwise outlive this object's members).
    delete Viewer;
}

void TMainForm::CreateControls() {
    const TMainInputs& start = Main.Defaults();
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 492, 236);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFocusPolicy(Qt::StrongFocus);
    QStringList instructions;
    for (const char* line : kInstructions) instructions.append(Text(line));
    Memo1->setPlainText(instructions.join(u'\n'));

    Label1 = MakeLabel(this, "Label1", Text(kPrintLabel), 8, 248);
    edOpenPRINT = MakeNameBox(this, bkFile, "edOpenPRINT", start.PrintFile, QRect(8, 263, 492, 21));
    Label2 = MakeLabel(this, "Label2", Text(kArticleLabel), 8, 292);
    edOpenARTICLE =
        MakeNameBox(this, bkFile, "edOpenARTICLE", start.ArticleFile, QRect(10, 308, 492, 21));
    Label6 = MakeLabel(this, "Label6", Text(kFolderLabel), 8, 339);
    edDBFFolder = MakeNameBox(this, bkFolder, "edDBFFolder", start.Folder, QRect(10, 355, 492, 21));
    Label3 = MakeLabel(this, "Label3", Text(kPrefixLabel), 8, 385);
    edBarCodePrefix = MakeOemEdit(this, "edBarCodePrefix", start.Prefix, QRect(323, 382, 50, 21));
    Label4 = MakeLabel(this, "Label4", Text(kStartValueLabel), 8, 409);
    edBarCodeStartValue =
        MakeOemEdit(this, "edBarCodeStartValue", start.StartValue, QRect(323, 406, 50, 21));
    // Beside the start value, in the generator's inputs; the design's controls keep their places.
    cbEan13 = new QCheckBox(Text(kEan13Caption), this);
    cbEan13->setObjectName(QStringLiteral("cbEan13"));
    cbEan13->setGeometry(381, 408, 121, 17);
    cbEan13->setChecked(start.Ean13);
    cbWriteID = new QCheckBox(Text(kWriteIDCaption), this);
    cbWriteID->setObjectName(QStringLiteral("cbWriteID"));
    cbWriteID->setGeometry(8, 431, 297, 17);
    cbWriteID->setChecked(start.WriteID);
    Label5 = MakeLabel(this, "Label5", Text(kNdsLabel), 324, 433);
    edNDSValue = MakeOemEdit(this, "edNDSValue", start.NdsValue, QRect(407, 429, 38, 21));

    lbBarCodesGeneratedCount =
        MakeLabel(this, "lbBarCodesGeneratedCount", Text(InitialCountText()), 8, 456);
    QFont bold = lbBarCodesGeneratedCount->font();
    bold.setBold(true);
    lbBarCodesGeneratedCount->setFont(bold);
    lbBarCodesGeneratedCount->adjustSize();
    lbBarCodesGeneratedCount->hide();

    Button1 = MakeButton(this, "Button1", kImportButton, QRect(8, 482, 105, 25));
    Button2 = MakeButton(this, "Button2", kShowResultsButton, QRect(119, 482, 130, 25));
    btnSaveToDBF = MakeButton(this, "btnSaveToDBF", kSaveButton, QRect(255, 482, 162, 25));

    // The design's order, then the EAN-13 box, so the operator's familiar order stays.
    const QList<QWidget*> focusOrder = {
        Memo1,     edOpenPRINT,     edOpenARTICLE,       Button1,
        Button2,   edBarCodePrefix, edBarCodeStartValue, btnSaveToDBF,
        cbWriteID, edNDSValue,      edDBFFolder,         cbEan13};
    for (qsizetype i = 1; i < focusOrder.size(); ++i) {
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    }

    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainForm::Button2Click);
    connect(btnSaveToDBF, &QPushButton::clicked, this, &TMainForm::btnSaveToDBFClick);
}

TMainInputs TMainForm::Inputs() const {
    TMainInputs inputs;
    inputs.PrintFile = edOpenPRINT->text().toStdString();
    inputs.ArticleFile = edOpenARTICLE->text().toStdString();
    inputs.Folder = edDBFFolder->text().toStdString();
    inputs.Prefix = edBarCodePrefix->text().toStdString();
    inputs.StartValue = edBarCodeStartValue->text().toStdString();
    inputs.NdsValue = edNDSValue->text().toStdString();
    inputs.WriteID = cbWriteID->isChecked();
    inputs.Ean13 = cbEan13->isChecked();
    return inputs;
}

void TMainForm::HideCount() {
    lbBarCodesGeneratedCount->hide();
}

void TMainForm::ShowCount(const std::string& text) {
    lbBarCodesGeneratedCount->setText(Text(text));
    lbBarCodesGeneratedCount->adjustSize();
    lbBarCodesGeneratedCount->show();
}

void TMainForm::ShowViewer() {
    if (Viewer) Viewer->ShowViewer();
}

void TMainForm::HideViewer() {
    if (Viewer) Viewer->hide();
}

void TMainForm::Repaint() {
    // Let pressed buttons be drawn released before the handler blocks the thread.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::SetViewer(TDataViewerForm* viewer) {
    Viewer = viewer;
    Main.SetGrid(viewer ? &viewer->DBGrid1->Controller() : nullptr);
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

void TMainForm::PostClose() {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program at once, the viewer and any edit included; under a
    // running handler (a box of its own is up) once that handler has ended.
    if (!Main.CloseRequested()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    if (event->isAccepted()) QCoreApplication::quit();
}
