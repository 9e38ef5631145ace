#pragma once

#include <QStringList>
#include <QWidget>

#include "app/CurrencyFormat.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TDataViewerForm;
class TFileNameEdit;

// The main window: the operator's instructions, every input of the import and the export, the
// count line and the three buttons. It owns the goods table of the process and is the import
// run's and the export's host (progress window, boxes, count label, results viewer).
class TMainForm : public QWidget, public IRunHost {
    Q_OBJECT
  public:
    // Creates every control with its design values, then runs FormCreate.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The results viewer that Button2 and the import run show (created after this window, as a
    // child of it; this window deletes it first when it goes).
    void SetViewer(TDataViewerForm* viewer) { Viewer = viewer; }
    TDataViewerForm* DataViewer() const { return Viewer; }

    // The price format of the regional settings as read at start-up.
    const TCurrencyFormat& CurrencyFormat() const { return Currency; }

    // The import run, the results viewer, the export. Errors never leave them: they end in the
    // standard error display.
    void Button1Click();
    void Button2Click();
    void btnSaveToDBFClick();

    // IRunHost
    std::unique_ptr<IProgressSink> CreateProgress(const std::string& caption,
                                                  bool percentMode) override;
    void ShowWarning(const std::string& caption, const std::string& text) override;
    void ShowInformation(const std::string& caption, const std::string& text) override;
    void HideCount() override;
    void ShowCount(const std::string& text) override;
    void ShowResults() override;

    static const QString kCaption;
    static const QStringList kInstructions;

    TGoodsTable mdGoods;

    QPlainTextEdit* Memo1;
    QLabel* Label1;
    TFileNameEdit* edOpenPRINT;
    QLabel* Label2;
    TFileNameEdit* edOpenARTICLE;
    QLabel* Label6;
    TFileNameEdit* edDBFFolder;
    QLabel* Label3;
    QLineEdit* edBarCodePrefix;
    QLabel* Label4;
    QLineEdit* edBarCodeStartValue;
    QCheckBox* cbWriteID;
    QLabel* Label5;
    QLineEdit* edNDSValue;
    QLabel* lbBarCodesGeneratedCount;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* btnSaveToDBF;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void FormCreate();
    // The window the boxes of a handler belong to: the active one of ours, else this one.
    QWidget* DialogParent();

    TCurrencyFormat Currency;
    TDataViewerForm* Viewer = nullptr;
    bool Centred = false;
};
