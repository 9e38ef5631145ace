#include "qt/MainFrm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/WindowLayout.h"
#include "app/WindowTexts.h"
#include "qt/AppStartup.h"
#include "qt/DataViewerFrm.h"
#include "qt/FileNameEdit.h"
#include "qt/OemValidator.h"
#include "qt/RegionalCurrency.h"

namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QRect Geometry(TMainControl control) {
    const TPlace& place = MainPlace(control);
    return QRect(place.Left, place.Top, place.Width, place.Height);
}

QString NameOf(TMainControl control) {
    const std::string_view name = kMainControls[control].Name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// A label is as large as its text.
QLabel* MakeLabel(QWidget* parent, TMainControl control, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(NameOf(control));
    label->move(Geometry(control).topLeft());
    label->adjustSize();
    return label;
}

QLineEdit* MakeOemEdit(QWidget* parent, TMainControl control, const std::string& text) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(NameOf(control));
    edit->setValidator(new TOemValidator(edit));
    edit->setText(Text(text));
    edit->setGeometry(Geometry(control));
    return edit;
}

TFileNameEdit* MakeNameBox(QWidget* parent, TBrowseKind kind, TMainControl control,
                           const std::string& text) {
    auto* edit = new TFileNameEdit(kind, parent);
    edit->setObjectName(NameOf(control));
    edit->setText(Text(text));
    edit->setGeometry(Geometry(control));
    return edit;
}

QCheckBox* MakeCheckBox(QWidget* parent, TMainControl control, const char* text, bool checked) {
    auto* box = new QCheckBox(Text(text), parent);
    box->setObjectName(NameOf(control));
    box->setGeometry(Geometry(control));
    box->setChecked(checked);
    return box;
}

QPushButton* MakeButton(QWidget* parent, TMainControl control, const char* text) {
    auto* button = new QPushButton(Text(text), parent);
    button->setObjectName(NameOf(control));
    button->setGeometry(Geometry(control));
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
    setFixedSize(kMainClientWidth, kMainClientHeight);
    CreateControls();
    Main.SetView(this);
}

TMainForm::~TMainForm() {
    Main.SetView(nullptr);
}

void TMainForm::CreateControls() {
    const TMainInputs& start = Main.Defaults();
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(NameOf(mwMemo1));
    Memo1->setGeometry(Geometry(mwMemo1));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFocusPolicy(Qt::StrongFocus);
    QStringList instructions;
    for (const char* line : kInstructions) instructions.append(Text(line));
    Memo1->setPlainText(instructions.join(u'\n'));

    Label1 = MakeLabel(this, mwLabel1, Text(kPrintLabel));
    edOpenPRINT = MakeNameBox(this, bkFile, mwEdOpenPRINT, start.PrintFile);
    Label2 = MakeLabel(this, mwLabel2, Text(kArticleLabel));
    edOpenARTICLE = MakeNameBox(this, bkFile, mwEdOpenARTICLE, start.ArticleFile);
    Label6 = MakeLabel(this, mwLabel6, Text(kFolderLabel));
    edDBFFolder = MakeNameBox(this, bkFolder, mwEdDBFFolder, start.Folder);
    Label3 = MakeLabel(this, mwLabel3, Text(kPrefixLabel));
    edBarCodePrefix = MakeOemEdit(this, mwEdBarCodePrefix, start.Prefix);
    Label4 = MakeLabel(this, mwLabel4, Text(kStartValueLabel));
    edBarCodeStartValue = MakeOemEdit(this, mwEdBarCodeStartValue, start.StartValue);
    cbEan13 = MakeCheckBox(this, mwCbEan13, kEan13Caption, start.Ean13);
    cbWriteID = MakeCheckBox(this, mwCbWriteID, kWriteIDCaption, start.WriteID);
    Label5 = MakeLabel(this, mwLabel5, Text(kNdsLabel));
    edNDSValue = MakeOemEdit(this, mwEdNDSValue, start.NdsValue);

    lbBarCodesGeneratedCount =
        MakeLabel(this, mwLbBarCodesGeneratedCount, Text(InitialCountText()));
    QFont bold = lbBarCodesGeneratedCount->font();
    bold.setBold(true);
    lbBarCodesGeneratedCount->setFont(bold);
    lbBarCodesGeneratedCount->adjustSize();
    lbBarCodesGeneratedCount->hide();

    Button1 = MakeButton(this, mwButton1, kImportButton);
    Button2 = MakeButton(this, mwButton2, kShowResultsButton);
    btnSaveToDBF = MakeButton(this, mwBtnSaveToDBF, kSaveButton);

    QWidget* previous = nullptr;
    for (const TMainControl control : kMainFocusOrder) {
        QWidget* next = findChild<QWidget*>(NameOf(control), Qt::FindDirectChildrenOnly);
        if (previous) setTabOrder(previous, next);
        previous = next;
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
    Viewer.reset(viewer);
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
