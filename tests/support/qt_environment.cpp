// Creates the application object the fonts and raster text need, for the
// test programs that run on gtest_main.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>

namespace {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        app_ = new QGuiApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

  private:
    QGuiApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
