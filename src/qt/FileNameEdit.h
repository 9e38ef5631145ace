#pragma once

#include <QLineEdit>
#include <cstdint>

#include "app/FileChooser.h"

class QAction;

enum TBrowseKind : std::uint8_t { bkFile, bkFolder };

// A one-line OEM-convert text box with a small browse button at its right end: a file name box
// (a file chooser for opening) or a folder box (a folder chooser). The text can also be typed.
class TFileNameEdit : public QLineEdit {
    Q_OBJECT
  public:
    TFileNameEdit(TBrowseKind kind, QWidget* parent);

    // The browse button's action.
    QAction* BrowseAction() const { return Browse; }
    // Opens the chooser and takes its answer into the text.
    void BrowseClick();

  private:
    void BrowseFile();
    void BrowseFolder();

    TBrowseKind Kind;
    QAction* Browse;
    TFileChooserStart ChooserStart;
};
