#include "qt/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "text/Translate.h"

namespace zok2 {

namespace {

std::unique_ptr<QTranslator> g_ours;  // English
std::unique_ptr<QTranslator> g_qt;    // Qt's own Japanese
Language g_language = Language::Japanese;

std::string Translate(const char* context, const char* text) { return QCoreApplication::translate(context, text).toStdString(); }

void Remove(std::unique_ptr<QTranslator>& translator)
{
    if (!translator) return;
    QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

}  // namespace

Language ChooseLanguage(const std::string& profileValue, const QString& localeName)
{
    if (profileValue == "ja") return Language::Japanese;
    if (profileValue == "en") return Language::English;
    return localeName.startsWith(QStringLiteral("ja")) ? Language::Japanese : Language::English;
}

const char* LanguageKey(Language language) { return language == Language::English ? "en" : "ja"; }

bool InstallLanguage(QCoreApplication& application, Language language)
{
    (void)application;
    Remove(g_ours);
    Remove(g_qt);
    g_language = language;
    SetTranslator(Translate);
    auto translator = std::make_unique<QTranslator>();
    bool loaded = false;
    if (language == Language::English) {
        loaded = translator->load(QStringLiteral(":/i18n/zok2_en.qm"));
    } else {
        // The standard dialogs and buttons speak Japanese too ("はい", "キャンセル").
        // Qt's own folder first, then "translations" beside the program, where
        // a Windows copy keeps them.
        for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                      QCoreApplication::applicationDirPath() + QStringLiteral("/translations")}) {
            loaded = loaded || translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"), folder);
        }
    }
    if (!loaded || !QCoreApplication::installTranslator(translator.get())) return false;
    (language == Language::English ? g_ours : g_qt) = std::move(translator);
    return true;
}

Language CurrentLanguage() { return g_language; }

void RemoveLanguage()
{
    Remove(g_ours);
    Remove(g_qt);
    SetTranslator(nullptr);
    g_language = Language::Japanese;
}

QString T(const char* context, const char* text) { return QCoreApplication::translate(context, text); }

}  // namespace zok2
