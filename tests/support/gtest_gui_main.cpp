#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// GoogleTest binaries that touch widgets need a QApplication alive for the whole run.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
