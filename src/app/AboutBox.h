#pragma once
// The About box: the program's icon, its version and an OK button.
#include <QDialog>
#include <QIcon>

namespace zok2 {

// The program's own icon (the frame, the About box and the desktop entry show it).
QIcon ProgramIcon();

class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace zok2
