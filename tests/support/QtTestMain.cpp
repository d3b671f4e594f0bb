// Entry point of the Qt test binaries: one QApplication for all tests, on
// whatever platform QT_QPA_PLATFORM names (offscreen under ctest).
#include <QApplication>
#include <clocale>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
