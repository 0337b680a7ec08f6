#pragma once
// The About box: the program's icon, its version and an OK button.
#include <QDialog>

namespace zok2 {

class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace zok2
