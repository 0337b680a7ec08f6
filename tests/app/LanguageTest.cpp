// The interface language: chosen by the profile's key or the system's locale,
// English through the translations file, Japanese exactly as written; and the
// translations file itself: every text finished, its placeholders, shortcut
// texts and mnemonics kept.
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QXmlStreamReader>

#include "app/AboutBox.h"
#include "app/CMyPropertySheet.h"
#include "app/WindowTestSupport.h"
#include "document/Messages.h"
#include "framework/IniProfile.h"
#include "qt/Language.h"
#include "text/Translate.h"

namespace zok2::test {

namespace {

class LanguageTest : public WindowTest {
protected:
    void TearDown() override
    {
        WindowTest::TearDown();
        RemoveLanguage();  // the other tests see the program's own Japanese
    }
    QStringList MenuTitles()
    {
        QStringList titles;
        for (QAction* menu : frame().menuBar()->actions()) titles << menu->text();
        return titles;
    }
};

struct Entry {
    QString context, source, translation;
    bool unfinished = false;
};

std::vector<Entry> ReadTranslations()
{
    QFile file(QStringLiteral(ZOK2_SOURCE_DIR "/translations/zok2_en.ts"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::vector<Entry> entries;
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) context = xml.readElementText();
        if (xml.name() == QLatin1String("message")) entries.push_back({context, {}, {}, false});
        if (xml.name() == QLatin1String("source")) entries.back().source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (xml.name() == QLatin1String("translation")) {
            entries.back().unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            entries.back().translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

QStringList Placeholders(const QString& text)
{
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("%[1-9]")).globalMatch(text);
    while (it.hasNext()) found << it.next().captured();
    found.sort();
    return found;
}

}  // namespace

TEST(Language, TheProfilesKeyDecidesThenTheSystemsLocale)
{
    EXPECT_EQ(ChooseLanguage("", QStringLiteral("ja_JP")), Language::Japanese);
    EXPECT_EQ(ChooseLanguage("", QStringLiteral("C")), Language::English);
    EXPECT_EQ(ChooseLanguage("", QStringLiteral("en_US")), Language::English);
    EXPECT_EQ(ChooseLanguage("ja", QStringLiteral("C")), Language::Japanese);
    EXPECT_EQ(ChooseLanguage("en", QStringLiteral("ja_JP")), Language::English);
    EXPECT_EQ(ChooseLanguage("fr", QStringLiteral("ja_JP")), Language::Japanese);  // an unknown key: the system's
    EXPECT_STREQ(LanguageKey(Language::English), "en");
}

// Run by CTest under LANG=C and LANG=ja_JP.UTF-8 (ZOK2_LOCALE_CASE says which):
// the language a start without the profile's key takes.
TEST(Language, TheSystemsLocaleComesFromTheEnvironment)
{
    const QByteArray expected = qgetenv("ZOK2_LOCALE_CASE");
    if (expected.isEmpty()) GTEST_SKIP() << "run by CTest with LANG set";
    const Language language = ChooseLanguage("", QLocale::system().name());
    EXPECT_EQ(LanguageKey(language), expected.toStdString()) << QLocale::system().name().toStdString();
}

TEST(Language, EveryTextHasItsEnglishWithItsPlaceholdersShortcutsAndMnemonics)
{
    const std::vector<Entry> entries = ReadTranslations();
    ASSERT_GT(entries.size(), 150u);
    for (const Entry& e : entries) {
        const std::string where = e.context.toStdString() + ": " + e.source.toStdString();
        EXPECT_FALSE(e.unfinished) << where;
        EXPECT_FALSE(e.translation.isEmpty()) << where;
        EXPECT_EQ(Placeholders(e.translation), Placeholders(e.source)) << where;
        // The shortcut shown after a tab stays the same key.
        const qsizetype tab = e.source.indexOf(QLatin1Char('\t'));
        EXPECT_EQ(tab < 0 ? QString() : e.source.mid(tab), tab < 0 ? QString() : e.translation.mid(e.translation.indexOf(QLatin1Char('\t'))))
            << where;
        // A menu item with a mnemonic keeps one.
        if (e.source.contains(QStringLiteral("(&"))) {
            EXPECT_TRUE(e.translation.contains(QLatin1Char('&'))) << where;
        }
    }
}

TEST_F(LanguageTest, EnglishMenusMessagesAndSettingsSheet)
{
    ASSERT_TRUE(InstallLanguage(*QCoreApplication::instance(), Language::English));
    Start(sample());
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Edit", "&View", "&Other"}));
    EXPECT_EQ(frame().Action(command::kOpen)->text(), QStringLiteral("&Open...\tCtrl+O"));
    EXPECT_EQ(frame().Action(command::kNextDifference)->text(), QStringLiteral("Next D&ifference\tF4"));
    EXPECT_EQ(frame().Action(command::kEnglish)->text(), QStringLiteral("English"));
    // A message shown whole, and one made of a translated text and a file name.
    EXPECT_EQ(TrText("Message", messages::kCopyFailed), "Copy failed");
    EXPECT_EQ(messages::About(messages::kCannotWriteFile, "a.dat", "Permission denied"),
              "Cannot write the file. The file is unchanged.\na.dat (Permission denied)");
    EXPECT_EQ(messages::AboutFiles(messages::kCannotWriteSettings, {"1", "2", "3"}, 1),
              "Cannot write the definition file. Its content is unchanged.\n1\nand 2 more files");
    // A message the window makes: going to a row that is not there.
    frame().askGoTo = [] { return QStringLiteral("999"); };
    frame().Run(command::kGoTo);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().rfind("There is no row 999 (rows 1 to ", 0), 0u) << messages.shown.back();

    CMyPropertySheet sheet(*app, &frame());
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Properties"));
    auto* tabs = sheet.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Definition Set"));
    AboutBox about(&frame());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About ZOK"));
    EXPECT_EQ(about.findChild<QLabel*>("places")->text().toStdString(),
              "Profile: " + root() + "zok2.ini\nDefinition sets: " + root() + "Settings/");
}

TEST_F(LanguageTest, JapaneseIsExactlyTheProgramsOwnAndTheChoiceIsKeptForTheNextStart)
{
    ASSERT_TRUE(InstallLanguage(*QCoreApplication::instance(), Language::Japanese));
    Start();
    EXPECT_EQ(MenuTitles(), (QStringList{"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "その他(&O)"}));
    EXPECT_EQ(frame().Action(command::kOpen)->text(), QStringLiteral("開く(&O)\tCtrl+O"));
    EXPECT_EQ(TrText("Message", messages::kCopyFailed), "コピー失敗");
    EXPECT_TRUE(frame().Action(command::kJapanese)->isChecked());
    EXPECT_FALSE(frame().Action(command::kEnglish)->isChecked());
    // Choosing English writes the profile's key and says when it takes effect.
    frame().Run(command::kEnglish);
    EXPECT_EQ(IniProfile(root() + "zok2.ini").GetString("Setting", "language"), "en");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "zok2 は次の起動から英語で表示します。");
    frame().UpdateCommandStates();
    EXPECT_TRUE(frame().Action(command::kEnglish)->isChecked());
    frame().Run(command::kEnglish);  // already chosen: nothing more
    EXPECT_EQ(messages.shown.size(), 1u);
}

}  // namespace zok2::test
