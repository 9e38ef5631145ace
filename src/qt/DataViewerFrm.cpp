#include "qt/DataViewerFrm.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "app/WindowTexts.h"
#include "qt/AppStartup.h"
#include "qt/GoodsGrid.h"
#include "qt/MainFrm.h"

namespace {

constexpr int kDesignWidth = 725;
constexpr int kDesignHeight = 537;

}  // namespace

TDataViewerForm::TDataViewerForm(TMainForm* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      Owner(owner) {
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
    Label1->move(8, 8);
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

    setTabOrder(DBGrid1, BitBtn1);
    setTabOrder(BitBtn1, Button3);

    connect(BitBtn1, &QPushButton::clicked, this, &TDataViewerForm::BitBtn1Click);
    connect(Button3, &QPushButton::clicked, this, &TDataViewerForm::Button3Click);
    connect(DBGrid1, &TGoodsGrid::EscapePressed, this, &TDataViewerForm::BitBtn1Click);

    resize(kDesignWidth, kDesignHeight);
    ArrangeControls();
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
    // The grid keeps its distance to all four edges; the buttons keep their bottom corners.
    const int w = width();
    const int h = height();
    DBGrid1->setGeometry(8, 30, w - (kDesignWidth - 709), h - (kDesignHeight - 463));
    BitBtn1->setGeometry(w - (kDesignWidth - 642), h - (kDesignHeight - 504), 75, 25);
    Button3->setGeometry(8, h - (kDesignHeight - 504), 162, 25);
}
