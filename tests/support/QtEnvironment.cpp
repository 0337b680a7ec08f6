// One Qt application for the whole suite, on the offscreen platform, so the
// window's tests drive real widgets without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // The argument, not the variable: Wine does not hand QT_QPA_PLATFORM
        // to a Windows program, and qputenv may not reach Qt's wide reading.
        static int argc = 3;
        static char name[] = "zok2-tests";
        static char option[] = "-platform";
        static char platform[] = "offscreen";
        static char* argv[] = {name, option, platform, nullptr};
        if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) argc = 1;
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
