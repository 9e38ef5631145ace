#pragma once

#include <QDialog>
#include <memory>

#include "app/ResultsViewerController.h"
#include "qt/Dialogs.h"

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class TFindingsModel;
class TGoodsGrid;
class TMainForm;

// The results viewer: a non-modal window owned by the main window (no taskbar entry, always in
// front of it) whose grid is a view of the main window's goods table. Closing only hides it. At
// its right, beside the design's controls, the find box (Ctrl+F, F3) and the findings list. What
// its keys and buttons do is the viewer controller's; this window maps Qt's events onto it.
class TDataViewerForm : public QDialog, private IResultsViewerView {
    Q_OBJECT
  public:
    explicit TDataViewerForm(TMainForm* owner);
    ~TDataViewerForm() override;

    // Makes the viewer visible without a modal loop and brings it to the front.
    void ShowViewer();

    void BitBtn1Click() { Viewer.BitBtn1Click(); }
    void Button3Click() { Viewer.Button3Click(); }
    void FindClick() { Viewer.FindClick(); }
    void FindNextClick() { Viewer.FindNextClick(); }
    void FindingChosen(int line) { Viewer.FindingChosen(line); }
    const TFindingsList& Findings() const { return Viewer.Findings(); }

    QLabel* Label1;
    TGoodsGrid* DBGrid1;
    QPushButton* BitBtn1;
    QPushButton* Button3;
    QLabel* lbFind;
    QLineEdit* edFind;
    QLabel* lbFindStatus;
    QLabel* lbFindings;
    QListView* lstFindings;

  public slots:
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ArrangeControls();
    // Which of the viewer's controls holds `widget`.
    TViewerControl ControlOf(const QWidget* widget) const;

    // IResultsViewerView
    void FindingsChanged() override;
    void FocusControl(TViewerControl control) override;
    void SelectFindText() override;
    std::string FindText() const override;
    void ShowFindStatus(const std::string& text) override;
    int FocusedFinding() const override;
    void PressMainSave() override;

    TMainForm* Owner;
    TQtShell Shell;
    TResultsViewerController Viewer;
    // Views of the controller's parts: they go before it.
    std::unique_ptr<TGoodsGrid> Grid;
    std::unique_ptr<TFindingsModel> FindingsModel;
    bool Activated = false;
};
