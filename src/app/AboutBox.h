#pragma once
// The About box: the program's icon, its version and an OK button.
#include <QDialog>
#include <QIcon>

class QCoreApplication;
class QTranslator;

namespace zok2 {

// The program's own icon (the frame, the About box and the desktop entry show it).
QIcon ProgramIcon();
// Qt's own Japanese texts for its standard dialogs and buttons ("はい", "キャンセル",
// the file dialogs). The translator installed (owned by the application), or
// null when the translations are not on the machine.
QTranslator* InstallJapaneseTranslations(QCoreApplication& application);

class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace zok2
