#include "app/StartUp.h"

#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <cstring>

#include "app/AboutBox.h"
#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "framework/AppPath.h"
#include "framework/IniProfile.h"
#include "qt/Language.h"
#include "qt/QtServices.h"
#include "text/Translate.h"
#include "qt/SjisCodec.h"

namespace zok2 {

DataPlaces UsePlaces(const std::string& root, const std::string& programPath)
{
    return UsePlaces(root, programPath, ZOK2_BUNDLED_RELATIVE);
}

std::vector<std::string> PlaceNoteTexts(const std::vector<PlaceNote>& notes)
{
    std::vector<std::string> texts;
    for (const PlaceNote& note : notes) {
        std::string text;
        switch (note.kind) {
        case PlaceNote::Kind::CannotCreateFolder: text = Tr("Message", "フォルダーを作れません。設定は保存されません。") + "\n"; break;
        case PlaceNote::Kind::CannotWriteProfile: text = Tr("Message", "プロファイルを作れません。設定は保存されません。") + "\n"; break;
        case PlaceNote::Kind::ProfileMoved: text = Tr("Message", "プログラムのフォルダーに書き込めないため、プロファイルは次の場所に保存します。") + "\n"; break;
        }
        text += note.path;
        if (!note.reason.empty()) text += " (" + note.reason + ")";
        texts.push_back(text);
    }
    return texts;
}

namespace {

constexpr const char* kHelp =
    "usage: zok2 [--root DIR] [FILE]\n"
    "       zok2 --help | --version\n"
    "Opens FILE (a binary) with the active definition set. --root DIR keeps the\n"
    "profile zok2.ini and the definition sets (DIR/Settings/) in DIR; without it\n"
    "they are beside the program (a portable copy) or in ~/.config/zok2 and\n"
    "~/.local/share/zok2/Settings (an installed program).\n";

}  // namespace

int RunApplication(int argc, char** argv)
{
    // Answered before any window system is asked for: they work without a display.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zok2 %s\n", ZOK2_VERSION);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(kAppTitle);
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zok2.zok2"));  // the desktop entry's id
    // The language is the profile's (or the system's), so the profile is found first.
    std::string root;
    for (int i = 1; i + 1 < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--root") == 0) root = argv[++i];
    }
    UsePlaces(root, QStringToFileName(QApplication::applicationFilePath()));
    const std::string key = IniProfile(GetAppPath(PathPart::ProfilePath)).GetString("Setting", "language", "");
    // The standard dialogs speak the program's language (system reasons stay the C library's).
    InstallLanguage(application, ChooseLanguage(key, QLocale::system().name()));
    QtMessageBox messageBox;
    QtWaitCursor waitCursor;
    QtKeyState keyState;
    QtClipboard clipboard;
    QtFileNameCodec fileNames;
    AppServices services;
    services.document = Services{&messageBox, &waitCursor, &keyState, &fileNames};
    services.clipboard = &clipboard;
    CZOKApp app(services);
    messageBox.parent = [&app] { return static_cast<QWidget*>(&app.Frame()); };
    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments().mid(1)) args.push_back(QStringToFileName(arg));
    std::string error;
    if (!app.InitInstance(args, QStringToFileName(QApplication::applicationFilePath()), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    return QApplication::exec();
}

}  // namespace zok2
