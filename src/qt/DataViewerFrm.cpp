#include "qt/DataViewerFrm.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <utility>

#include "app/WindowLayout.h"
#include "app/WindowTexts.h"
#include "qt/AppStartup.h"
#include "qt/GoodsGrid.h"
#include "qt/MainFrm.h"

// The findings list's lines for the list view, read from the layer as they are drawn: a million
// findings cost no more than the visible lines.
class TFindingsModel : public QAbstractListModel {
  public:
    TFindingsModel(const TFindingsList& list, QObject* parent)
        : QAbstractListModel(parent), List(list) {}
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : List.LineCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
        return QString::fromStdString(List.LineText(index.row()));
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }

  private:
    const TFindingsList& List;
};

TDataViewerForm::TDataViewerForm(TMainForm* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      Owner(owner),
      Shell(this),
      Viewer(owner->Controller(), Shell) {
    setObjectName(QStringLiteral("DataViewerForm"));
    setWindowTitle(QString::fromUtf8(kViewerCaption));
    setModal(false);
    setSizeGripEnabled(true);
    setFont(FormFont());
    setWindowIcon(AppIcon());
    SetButtonFaceBackground(this);

    Label1 = new QLabel(QString::fromUtf8(kViewerLabel), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = FormFont();
    bold.setPixelSize(13);
    bold.setBold(true);
    Label1->setFont(bold);
    const TPlace& label = kViewerControls[vwLabel1].Place;
    Label1->move(label.Left, label.Top);
    Label1->adjustSize();

    Grid = std::make_unique<TGoodsGrid>(Viewer.Grid(), this);
    DBGrid1 = Grid.get();
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    Owner->SetViewer(this);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QString::fromUtf8(kCloseButton), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);

    Button3 = new QPushButton(QString::fromUtf8(kSaveButton), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setAutoDefault(false);

    lbFind = new QLabel(QString::fromUtf8(TGridFind::kFindLabel), this);
    lbFind->setObjectName(QStringLiteral("lbFind"));
    edFind = new QLineEdit(this);
    edFind->setObjectName(QStringLiteral("edFind"));
    edFind->setPlaceholderText(QString::fromUtf8(TGridFind::kFindHint));
    edFind->setClearButtonEnabled(true);
    lbFindStatus = new QLabel(this);
    lbFindStatus->setObjectName(QStringLiteral("lbFindStatus"));
    lbFindings = new QLabel(this);
    lbFindings->setObjectName(QStringLiteral("lbFindings"));
    lbFindings->setWordWrap(true);
    lbFindings->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lstFindings = new QListView(this);
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    lstFindings->setUniformItemSizes(true);
    lstFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFindings->setSelectionMode(QAbstractItemView::SingleSelection);
    FindingsModel = std::make_unique<TFindingsModel>(Viewer.Findings(), nullptr);
    lstFindings->setModel(FindingsModel.get());

    // Every key pressed in the window meets the viewer's behaviour before the control's own.
    qApp->installEventFilter(this);
    connect(lstFindings, &QListView::clicked, this,
            [this](const QModelIndex& index) { FindingChosen(index.row()); });
    connect(BitBtn1, &QPushButton::clicked, this, &TDataViewerForm::BitBtn1Click);
    connect(Button3, &QPushButton::clicked, this, &TDataViewerForm::Button3Click);
    connect(DBGrid1, &TGoodsGrid::EscapePressed, this, &TDataViewerForm::BitBtn1Click);

    Viewer.SetView(this);
    FindingsChanged();
    resize(kViewerClientWidth, kViewerClientHeight);
    ArrangeControls();
}

TDataViewerForm::~TDataViewerForm() {
    qApp->removeEventFilter(this);
    Viewer.SetView(nullptr);
}

TViewerControl TDataViewerForm::ControlOf(const QWidget* widget) const {
    const std::pair<const QWidget*, TViewerControl> controls[] = {{DBGrid1, vcGrid},
                                                                  {BitBtn1, vcClose},
                                                                  {Button3, vcSave},
                                                                  {edFind, vcFind},
                                                                  {lstFindings, vcFindings}};
    for (const auto& [control, kind] : controls) {
        if (widget == control || control->isAncestorOf(widget)) return kind;
    }
    return vcOther;
}

bool TDataViewerForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    // A key one control leaves goes on to its parents: the answer for the same control is the
    // same, and the window itself answers for none.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    const TViewerControl at = ControlOf(widget);
    return at != vcOther && Viewer.Key(GridKeyOf(static_cast<QKeyEvent*>(event)), at);
}

void TDataViewerForm::FindingsChanged() {
    lbFindings->setText(QString::fromStdString(Viewer.FindingsCaption()));
    FindingsModel->Reset();
}

void TDataViewerForm::FocusControl(TViewerControl control) {
    QWidget* const widgets[] = {DBGrid1, BitBtn1, Button3, edFind, lstFindings};
    if (control == vcOther) return;
    QWidget* target = widgets[control];
    // The grid's open cell keeps the keyboard inside the grid.
    if (control == vcGrid && DBGrid1->CellEditor()) target = DBGrid1->CellEditor();
    target->setFocus(control == vcFind ? Qt::ShortcutFocusReason : Qt::TabFocusReason);
}

void TDataViewerForm::SelectFindText() {
    edFind->selectAll();
}

std::string TDataViewerForm::FindText() const {
    return edFind->text().toStdString();
}

void TDataViewerForm::ShowFindStatus(const std::string& text) {
    lbFindStatus->setText(QString::fromStdString(text));
}

int TDataViewerForm::FocusedFinding() const {
    const QModelIndex current = lstFindings->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TDataViewerForm::PressMainSave() {
    Owner->btnSaveToDBF->click();
}

void TDataViewerForm::ShowViewer() {
    show();
    raise();
    activateWindow();
}

void TDataViewerForm::reject() {
    BitBtn1Click();
}

void TDataViewerForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!Activated) {
        Activated = true;
        DBGrid1->setFocus();
    }
}

void TDataViewerForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ArrangeControls();
}

void TDataViewerForm::ArrangeControls() {
    const std::pair<TViewerWidget, QWidget*> controls[] = {
        {vwDBGrid1, DBGrid1},       {vwBitBtn1, BitBtn1},        {vwButton3, Button3},
        {vwLbFind, lbFind},         {vwEdFind, edFind},          {vwLbFindStatus, lbFindStatus},
        {vwLbFindings, lbFindings}, {vwLstFindings, lstFindings}};
    for (const auto& [control, widget] : controls) {
        const TPlace place = ViewerPlace(control, width(), height());
        widget->setGeometry(place.Left, place.Top, place.Width, place.Height);
    }
}
