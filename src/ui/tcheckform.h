#pragma once
// The "Check Layout" window: the layout checker's findings, one line each
// with a severity icon, the entry and the message. Double-clicking a line
// that names an entry asks for that entry to be opened for editing.
#include <QDialog>
#include <vector>

#include "check/layoutcheck.h"

class QListWidget;
class QPushButton;

namespace tessaro::ui {

class TCheckForm : public QDialog {
    Q_OBJECT
public:
    explicit TCheckForm(QWidget* parent = nullptr);

    // Replaces the list with `findings`; with none, one line says all is well.
    void ShowFindings(const std::vector<check::Finding>& findings);

    // The entry a list line names (-1 for the whole layout or the all-well line).
    int EntryOfLine(int row) const;

    QListWidget* FindingsList;
    QPushButton* CloseButton;

signals:
    // A line naming an entry was double-clicked; the window has closed.
    void EntryChosen(int entry);
};

} // namespace tessaro::ui
