#pragma once
// The interface language: the program's own Japanese, or English through Qt's
// translation system (translations/zok2_en.ts). The profile's [Setting]
// language=ja|en decides; without it the system's locale does (Japanese for "ja").
#include <QString>
#include <string>

class QCoreApplication;

namespace zok2 {

enum class Language { Japanese, English };

Language ChooseLanguage(const std::string& profileValue, const QString& localeName);
// The profile value of a language ("ja", "en").
const char* LanguageKey(Language language);

// Installs the translators of `language` (ours for English; Qt's own dialogs
// follow: Qt's Japanese texts for Japanese) and the core's lookup. A second
// call replaces the first. False when a translation could not be loaded.
bool InstallLanguage(QCoreApplication& application, Language language);
// The language installed last (Japanese before any).
Language CurrentLanguage();
// Back to the program's own texts with no translator (the tests' state).
void RemoveLanguage();

// A text of the program in the installed language.
QString T(const char* context, const char* text);

}  // namespace zok2
