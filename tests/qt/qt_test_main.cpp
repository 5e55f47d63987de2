// Runs the widget tests inside one QApplication set up as the program sets itself up.
#include <gtest/gtest.h>

#include <QApplication>

#include "offscreen.h"
#include "qt/look.h"

int main(int argc, char* argv[]) {
    tori::qt::test::prepareOffscreen();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tori::qt::setUpJapanese(app);
    return RUN_ALL_TESTS();
}
