// One QApplication for every test of this program (offscreen unless a display is asked for).

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class TGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (QApplication::instance())
            return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_gui";
        static char *argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication *app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new TGuiEnvironment);

} // namespace
