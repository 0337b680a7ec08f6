#include "app/AboutBox.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "framework/AppPath.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"

namespace zok2 {

QIcon ProgramIcon()
{
#ifdef Q_OS_WIN
    // Qt for Windows draws no SVG: the icon of the program's resources, every size.
    return QIcon(QStringLiteral(":/zok2.ico"));
#else
    return QIcon(QStringLiteral(":/zok2.svg"));
#endif
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(T("AboutBox", "ZOKのﾊﾞｰｼﾞｮﾝ情報"));
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setObjectName("icon");
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    setWindowIcon(ProgramIcon());
    auto* text = new QLabel(QStringLiteral("ZOK2 Version 0.02"), this);
    text->setObjectName("version");
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(text, 0, 1, Qt::AlignVCenter);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);  // OK at the top right
    // Where this copy keeps its profile and its definition sets.
    auto* places = new QLabel(T("AboutBox", "プロファイル: %1\n定義セット: %2")
                                  .arg(FileNameToQString(GetAppPath(PathPart::ProfilePath)), FileNameToQString(SettingsFolder())),
                              this);
    places->setObjectName("places");
    places->setTextInteractionFlags(Qt::TextSelectableByMouse);
    places->setEnabled(false);  // drawn grey: a note, not a control
    layout->addWidget(places, 2, 0, 1, 3);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(360);
}

}  // namespace zok2
