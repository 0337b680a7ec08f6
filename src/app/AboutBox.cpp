#include "app/AboutBox.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QLabel>
#include <QPushButton>

namespace zok2 {

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/zok2.svg")); }

QTranslator* InstallJapaneseTranslations(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ZOKのﾊﾞｰｼﾞｮﾝ情報"));
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
    layout->setColumnStretch(1, 1);
    setMinimumWidth(360);
}

}  // namespace zok2
