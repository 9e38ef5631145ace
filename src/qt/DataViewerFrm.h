#pragma once

#include <QDialog>
#include <memory>

#include "app/FindBox.h"
#include "app/FindingsList.h"

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class TFindingsModel;
class TGoodsGrid;
class TMainForm;

// The results viewer: a non-modal window owned by the main window (no taskbar entry, always in
// front of it) whose grid is a view of the main window's goods table. Closing only hides it. At
// its right, beside the design's controls, the find box (Ctrl+F, F3) and the findings list.
class TDataViewerForm : public QDialog, private IFindingsView {
    Q_OBJECT
  public:
    explicit TDataViewerForm(TMainForm* owner);
    ~TDataViewerForm() override;

    // Makes the viewer visible without a modal loop and brings it to the front.
    void ShowViewer();

    // "Закрыть" and Esc: the main window's controller closes the viewer.
    void BitBtn1Click();
    // Presses the main window's save button, so the export runs with that window's inputs.
    void Button3Click();

    QLabel* Label1;
    TGoodsGrid* DBGrid1;
    QPushButton* BitBtn1;
    QPushButton* Button3;
    QLabel* lbFind;
    QLineEdit* edFind;
    QLabel* lbFindStatus;
    QLabel* lbFindings;
    QListView* lstFindings;

    // Ctrl+F: the find box takes the keyboard. Enter there finds (again), F3 finds the next.
    void FindClick();
    void FindNextClick();
    // A line of the findings list chosen: its row becomes the grid's current row.
    void FindingChosen(int line);
    const TFindingsList& Findings() const { return List; }

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ArrangeControls();
    void FindingsChanged() override;

    TMainForm* Owner;
    TFindingsList List;
    std::unique_ptr<TFindBox> Find;  // over the grid, made with it
    TFindingsModel* FindingsModel;
    bool Activated = false;
};
