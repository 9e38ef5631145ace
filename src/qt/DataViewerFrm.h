#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TGoodsGrid;
class TMainForm;

// The results viewer: a non-modal window owned by the main window (no taskbar entry, always in
// front of it) whose grid is a view of the main window's goods table. Closing only hides it.
class TDataViewerForm : public QDialog {
    Q_OBJECT
  public:
    explicit TDataViewerForm(TMainForm* owner);

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

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ArrangeControls();

    TMainForm* Owner;
    bool Activated = false;
};
