// What the toolkit gets from the desktop: the clipboard, the help viewer, the sound, the time, the
// program's folder and icon.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "qt/sound.h"
#include "qt_game.h"

using namespace tori;
using namespace tori::qt;
using namespace tori::qt::test;

TEST(QtServices, CopyingTheMovesPutsExactlyTheExportTextOnTheClipboard) {
    QtGame g;
    g.start();
    QGuiApplication::clipboard()->setText("older contents");
    g.choose(Menu::ketasu, 0);
    g.play(3, 3, 1, 5);
    g.play(1, 3, 3, 3);
    g.choose(Menu::menuclipbordcopy);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(), QStringList{"text/plain"});
    const QString text = data->text();
    const QRegularExpression shape(
        "^プレイ日: (.+)\r\n桁数: 5桁 \r\n\r\n1 手目 \\(3,3\\) ---> \\(1,5\\)\r\n2 手目 \\(1,3\\) ---> \\(3,3\\)$");
    const auto match = shape.match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    EXPECT_TRUE(match.captured(1).startsWith(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
    EXPECT_EQ(data->data("text/plain"), text.toUtf8());  // UTF-8 bytes

    // With a pin lifted and nothing played: the header alone, ending in CR LF.
    g.choose(Menu::menurestart);
    g.clickSquare(3, 3);
    g.choose(Menu::menuclipbordcopy);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().endsWith("桁数: 5桁 \r\n"));
}

TEST(QtServices, TheTimeIsTheLocaleShortDateAndLongTimeWithoutZone) {
    // A second run is under ja_JP.UTF-8, whose short time has no seconds of its own.
    if (qEnvironmentVariable("LC_ALL") == "ja_JP.UTF-8") {
        ASSERT_EQ(QLocale::system().language(), QLocale::Japanese);
        ASSERT_FALSE(QLocale::system().timeFormat(QLocale::ShortFormat).contains('s'));
    }
    QtGame g;
    const QString now = QString::fromStdString(g.tk.now());
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    ASSERT_TRUE(now.startsWith(date + ' ')) << now.toStdString();
    // Hours, minutes and seconds, and nothing after them (no time zone).
    const QString time = now.mid(date.size() + 1);
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}\\D\\d{2}\\D\\d{2}( ?[AaPp][Mm])?$").match(time).hasMatch())
        << now.toStdString();
}

TEST(QtServices, TheHelpViewerShowsTheFileAndReportsAMissingOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("tori.hlp");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><head><meta charset=\"utf-8\"></head><body><h1>トリピンの遊び方</h1>"
            "<p><a href=\"https://example.invalid/\">外</a> <a href=\"#rules\">規則</a></p>"
            "<h2 id=\"rules\">規則</h2></body></html>");
    f.close();

    QtGame g;
    g.start();
    g.tk.setHelpFile(path.toStdString());
    BoxAnswerer answerer;
    g.choose(Menu::menuhelpcont);
    HelpViewer* viewer = g.tk.helpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_FALSE(viewer->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_TRUE(viewer->toPlainText().contains("トリピンの遊び方"));
    // A link out of the help is not followed: the page stays.
    emit viewer->anchorClicked(QUrl("https://example.invalid/"));
    EXPECT_TRUE(viewer->toPlainText().contains("トリピンの遊び方"));
    EXPECT_EQ(viewer->shownFile(), path);

    const QString missing = dir.filePath("none/tori.hlp");
    g.tk.setHelpFile(missing.toStdString());
    g.choose(Menu::menuhelpcont);
    EXPECT_EQ(g.tk.helpViewer(), viewer);
    EXPECT_TRUE(viewer->toPlainText().contains("ヘルプファイル"));
    EXPECT_TRUE(viewer->toPlainText().contains(QDir::toNativeSeparators(missing)));
    EXPECT_TRUE(viewer->toPlainText().contains("を開けません。"));
    EXPECT_TRUE(answerer.seen.empty());  // the game itself says nothing
    viewer->close();
    EXPECT_TRUE(g.board()->isVisible());
}

TEST(QtServices, TheHelpPathIsTheProgramsFolder) {
    QtGame g;
    g.start();
    EXPECT_EQ(QString::fromStdString(g.tk.appPath()), QCoreApplication::applicationDirPath());
    EXPECT_EQ(QString::fromStdString(g.tk.helpFile()), QCoreApplication::applicationDirPath() + "/tori.hlp");
}

TEST(QtServices, TheSoundIsFoundBesideTheProgramAndNeverHoldsUpTheMessage) {
    EXPECT_EQ(Sound::find("tada.wav"), QDir(QCoreApplication::applicationDirPath()).filePath("tada.wav"));
    EXPECT_TRUE(Sound::find("no-such-sound.wav").isEmpty());

    QtGame g;
    g.start();
    BoxAnswerer answerer;
    g.tk.sndPlaySound("no-such-sound.wav", SND_ASYNC);  // silence
    g.tk.sndPlaySound("tada.wav", SND_ASYNC);           // plays, or stays silent without a device
    EXPECT_EQ(g.tk.msgBox("クリア", vbInformation), vbOK);
    EXPECT_EQ(answerer.seen.size(), 1u);
}

TEST(QtServices, TheIconIsTheSmallBoard) {
    const QImage icon = QImage(":/icons/toripin.png").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    auto green = [](int row, int col) {
        return (row == 2 && (col == 3 || col == 4)) || (row == 4 && col == 2);
    };
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            QColor want;
            if (x % 8 == 0 || y % 8 == 0)
                want = Qt::black;
            else
                want = green(y / 8 + 1, x / 8 + 1) ? QColor(0, 128, 0) : QColor(192, 192, 192);
            ASSERT_EQ(icon.pixelColor(x, y), want) << x << "," << y;
        }
    }
    // The board window wears it.
    QtGame g;
    g.start();
    EXPECT_EQ(g.board()->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32), icon);
}
