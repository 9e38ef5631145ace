#pragma once

#include <QWidget>
#include <memory>

#include "app/MainController.h"
#include "qt/Dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TDataViewerForm;
class TFileNameEdit;

// The main window: the operator's instructions, every input of the import and the export, the
// count line and the three buttons, over the main window's controller, which owns the goods table
// of the process and runs the handlers.
class TMainForm : public QWidget, private IMainView {
    Q_OBJECT
  public:
    // Creates every control with its start value (the controller's defaults).
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The results viewer that Button2 and the import run show: created after this window, as a
    // child of it, and owned by it. Its controller registers its grid with Controller() itself.
    void SetViewer(TDataViewerForm* viewer);
    TDataViewerForm* DataViewer() const { return Viewer.get(); }

    TMainController& Controller() { return Main; }
    // The price format of the regional settings as read at start-up.
    const TCurrencyFormat& CurrencyFormat() const { return Main.CurrencyFormat(); }

    // The import run, the results viewer, the export. Errors never leave them: they end in the
    // standard error display.
    void Button1Click() { Main.ImportClick(); }
    void Button2Click() { Main.ShowResultsClick(); }
    void btnSaveToDBFClick() { Main.SaveClick(); }

  private:
    TQtShell Shell;
    TMainController Main;

  public:
    TGoodsTable& mdGoods;

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
    QCheckBox* cbEan13;
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

    // IMainView
    TMainInputs Inputs() const override;
    void HideCount() override;
    void ShowCount(const std::string& text) override;
    void ShowViewer() override;
    void HideViewer() override;
    void Repaint() override;
    void PostClose() override;

    // After Main: the viewer's grid shows Main's goods table.
    std::unique_ptr<TDataViewerForm> Viewer;
    bool Centred = false;
};
