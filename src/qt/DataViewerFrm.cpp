#include "qt/DataViewerFrm.h"

#include <QAbstractListModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
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
      List(owner->mdGoods, owner->Controller().Record) {
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

    DBGrid1 = new TGoodsGrid(owner->mdGoods, owner->CurrencyFormat(), this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    // The main window deletes its viewer before its goods table, which the grid shows.
    Owner->SetViewer(this);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QString::fromUtf8(kCloseButton), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);

    Button3 = new QPushButton(QString::fromUtf8(kSaveButton), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setAutoDefault(false);

    Find = std::make_unique<TFindBox>(DBGrid1->Controller());
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
    FindingsModel = new TFindingsModel(List, this);
    lstFindings->setModel(FindingsModel);
    List.SetView(this);
    FindingsChanged();

    // The design's focus order first; the panel's controls after it.
    setTabOrder(DBGrid1, BitBtn1);
    setTabOrder(BitBtn1, Button3);
    setTabOrder(Button3, edFind);
    setTabOrder(edFind, lstFindings);

    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, &TDataViewerForm::FindClick);
    auto* nextKey = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(nextKey, &QShortcut::activated, this, &TDataViewerForm::FindNextClick);
    // A find starts after the current row, so Enter again on the same text goes on, as F3 does.
    connect(edFind, &QLineEdit::returnPressed, this, [this] {
        lbFindStatus->setText(QString::fromStdString(Find->Enter(edFind->text().toStdString())));
    });
    connect(lstFindings, &QListView::clicked, this,
            [this](const QModelIndex& index) { FindingChosen(index.row()); });
    connect(lstFindings, &QListView::activated, this,
            [this](const QModelIndex& index) { FindingChosen(index.row()); });

    connect(BitBtn1, &QPushButton::clicked, this, &TDataViewerForm::BitBtn1Click);
    connect(Button3, &QPushButton::clicked, this, &TDataViewerForm::Button3Click);
    connect(DBGrid1, &TGoodsGrid::EscapePressed, this, &TDataViewerForm::BitBtn1Click);

    resize(kViewerClientWidth, kViewerClientHeight);
    ArrangeControls();
}

TDataViewerForm::~TDataViewerForm() {
    List.SetView(nullptr);
}

void TDataViewerForm::FindClick() {
    edFind->setFocus(Qt::ShortcutFocusReason);
    edFind->selectAll();
}

void TDataViewerForm::FindNextClick() {
    const std::optional<std::string> status = Find->Next();
    if (!status) return FindClick();
    lbFindStatus->setText(QString::fromStdString(*status));
}

void TDataViewerForm::FindingChosen(int line) {
    if (List.Choose(line, DBGrid1->Controller())) DBGrid1->setFocus(Qt::OtherFocusReason);
}

void TDataViewerForm::FindingsChanged() {
    lbFindings->setText(QString::fromStdString(FindingsCaption(List)));
    FindingsModel->Reset();
}

void TDataViewerForm::ShowViewer() {
    show();
    raise();
    activateWindow();
}

void TDataViewerForm::BitBtn1Click() {
    Owner->Controller().CloseViewerClick();
}

void TDataViewerForm::Button3Click() {
    Owner->btnSaveToDBF->click();
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
    const std::pair<TViewerControl, QWidget*> controls[] = {
        {vwDBGrid1, DBGrid1},       {vwBitBtn1, BitBtn1},        {vwButton3, Button3},
        {vwLbFind, lbFind},         {vwEdFind, edFind},          {vwLbFindStatus, lbFindStatus},
        {vwLbFindings, lbFindings}, {vwLstFindings, lstFindings}};
    for (const auto& [control, widget] : controls) {
        const TPlace place = ViewerPlace(control, width(), height());
        widget->setGeometry(place.Left, place.Top, place.Width, place.Height);
    }
}
