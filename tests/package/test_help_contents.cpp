// Checks that the help file, as the help viewer reads it, names what the program really shows:
// every menu caption, every message, the move record line and the clipboard text; and that the
// manual pages write the captions they name as the program shows them.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>
#include <set>
#include <string>

#include "fake_toolkit.h"
#include "platform/design.h"
#include "shell/shell.h"
#include "version.h"

using namespace tori;
using namespace tori::test;

namespace {

// The path of tori.hlp and the sources of the manual pages, given on the command line.
QString helpFile;
QStringList manualPages;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// A caption as the player sees it: the access-key "&" is not shown.
QString shown(std::string_view caption) { return qs(caption).remove(QLatin1Char('&')); }

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        QFile file(helpFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << helpFile.toStdString();
        doc.setHtml(QString::fromUtf8(file.readAll()));
        text = doc.toPlainText();
    }

    void expectMentioned(const QString& phrase) {
        EXPECT_TRUE(text.contains(phrase)) << "the help never says \"" << phrase.toStdString() << '"';
    }

    // Every line of a message, as the help shows the message across lines.
    void expectMessage(const std::string& prompt) {
        for (const QString& line : qs(prompt).split(QStringLiteral("\r\n"))) expectMentioned(line);
    }

    QTextDocument doc;
    QString text;
};

TEST_F(Help, TitleAndContentsLinksReachTheirSections) {
    EXPECT_EQ(doc.metaInformation(QTextDocument::DocumentTitle), QStringLiteral("トリピン ヘルプ"));
    std::set<QString> anchors, links;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames()) anchors.insert(name);
            if (format.isAnchor() && format.anchorHref().startsWith(QLatin1Char('#')))
                links.insert(format.anchorHref().mid(1));
        }
    }
    EXPECT_GE(links.size(), 10u);
    for (const QString& link : links) EXPECT_TRUE(anchors.count(link)) << "no section " << link.toStdString();
}

TEST_F(Help, NamesEveryMenuItemAndButton) {
    int items = 0;
    for (const MenuItem& item : menuTree()) {
        if (item.caption == "-") continue;
        expectMentioned(shown(item.caption));
        ++items;
    }
    EXPECT_EQ(items, 14);
    expectMentioned(qs(design::kForm3Caption));
    expectMentioned(shown(design::kForm3Command1Caption));
    expectMentioned(shown(design::kForm2Command1Caption));
    expectMentioned(qs(version::kAboutTitle));
    expectMentioned(qs(version::kAboutVersion));
}

TEST_F(Help, QuotesEveryMessageThePlayerCanSee) {
    std::vector<std::string> prompts;
    auto collect = [&](FakeToolkit& tk) {
        for (const Message& m : tk.messages) prompts.push_back(m.prompt);
    };
    {
        // A second pin clicked while one is lifted, then a square outside the triangle.
        StartedGame game(5);
        auto& [s, tk] = game;
        tk.clickPin(13);
        tk.clickPin(1);
        tk.pressSquare(5, 2);
        // The clipboard refusing the text.
        tk.clipboardWorks = false;
        tk.choose(Menu::menuclipbordcopy);
        collect(tk);
        EXPECT_EQ(tk.messages.size(), 3u);
    }
    {
        // Winning without undo: two pins side by side, one jump left.
        StartedGame game(5);
        auto& [s, tk] = game;
        tk.setPins({1, 2});
        play(tk, 1, 1, 3, 1);
        collect(tk);
        ASSERT_EQ(tk.sounds.size(), 1u);
        EXPECT_EQ(tk.sounds[0], "tada.wav");
    }
    {
        // Winning after an undo has been used once.
        StartedGame game(5);
        auto& [s, tk] = game;
        tk.setPins({1, 2});
        tk.clickPin(1);
        tk.choose(Menu::menuundo);
        play(tk, 1, 1, 3, 1);
        collect(tk);
    }
    ASSERT_EQ(prompts.size(), 5u);
    EXPECT_NE(prompts[3], prompts[4]) << "the two winning messages should differ";
    for (const std::string& prompt : prompts) expectMessage(prompt);
}

TEST_F(Help, ShowsTheRecordLineAndTheClipboardTextAsTheProgramWritesThem) {
    StartedGame game(5);
    auto& [s, tk] = game;
    play(tk, 3, 3, 1, 5);
    play(tk, 1, 3, 3, 3);
    ASSERT_EQ(tk.list.size(), 2u);
    for (const std::string& line : tk.list) expectMentioned(qs(line));

    tk.choose(Menu::menuclipbordcopy);
    // Everything after the date line, which changes with the day of copying.
    QString copied = qs(tk.clipboard);
    copied.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString afterDate = copied.mid(copied.indexOf(QLatin1Char('\n')));
    ASSERT_TRUE(copied.startsWith(QStringLiteral("プレイ日: ")));
    expectMentioned(QStringLiteral("プレイ日: "));
    expectMentioned(afterDate);
}

// Every caption in a page is one the program shows, with its access key as the player sees it
// ("桁数選択(S)", "5*5(5)"), and the game's own page names every menu item. A caption stands between
// markup, brackets or spaces; a reference to another page, such as "toripin-solve(6)", is none.
TEST(ManualPages, WriteCaptionsAsTheProgramShowsThem) {
    ASSERT_EQ(manualPages.size(), 4) << "expected the two pages in two languages";
    std::set<QString> items, captions;
    for (const MenuItem& item : menuTree())
        if (item.caption != "-") items.insert(shown(item.caption));
    captions = items;
    captions.insert(shown(design::kForm3Command1Caption));
    captions.insert(shown(design::kForm2Command1Caption));
    static const QRegularExpression caption(QStringLiteral("[^\\s「」<>、。()]+\\([A-Z0-9]\\)(?:\\.\\.\\.)?"));
    static const QRegularExpression pageReference(QStringLiteral("^[a-z][a-z0-9._-]*\\([0-9]\\)$"));
    for (const QString& path : manualPages) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        int found = 0;
        for (auto it = caption.globalMatch(text); it.hasNext();) {
            const QString written = it.next().captured();
            if (pageReference.match(written).hasMatch()) continue;
            EXPECT_TRUE(captions.count(written)) << path.toStdString() << ": \"" << written.toStdString()
                                                 << "\" is no caption the program shows";
            ++found;
        }
        EXPECT_GT(found, 0) << path.toStdString() << " names no caption";
        if (QFileInfo(path).fileName().startsWith(QStringLiteral("toripin."))) {
            for (const QString& item : items)
                EXPECT_TRUE(text.contains(item)) << path.toStdString() << " never names " << item.toStdString();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s path/to/tori.hlp [manual page source...]\n", argv[0]);
        return 2;
    }
    helpFile = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) manualPages << QString::fromLocal8Bit(argv[i]);
    return RUN_ALL_TESTS();
}
