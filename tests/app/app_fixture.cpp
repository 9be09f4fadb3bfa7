#include "tests/app/app_fixture.h"

#include "editor/app/app_state.h"
#include "editor/ui/main_frame.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "tests/support/wave_files.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cstdlib>

namespace {

// One QApplication for the test program, made when the first test runs.
class QtEnvironment : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "app_tests";
        static char* argv[] = {name, nullptr};
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const g_qt =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

void AppTest::SetUp()
{
    TestEnv::SetUp();
    setenv("KELVARA_RUNTIME_DIR", root.c_str(), 1);
    set_preference("Show logo", "no");
    set_preference("Tip of the day", "no");
    app::clear_command_flags();
    kel::process::set_observer([this](const std::vector<std::string>& argv) {
        started.push_back(argv);
        return true;
    });
}

void AppTest::TearDown()
{
    app_.reset();
    kel::process::set_observer(nullptr);
    unsetenv("KELVARA_RUNTIME_DIR");
    TestEnv::TearDown();
}

std::string AppTest::make_wave(const std::string& name, int frames)
{
    WaveImage w;
    w.samples = pcm16(noise16(static_cast<size_t>(frames) * 2, 7));
    const std::string file = root + name;
    write_file(file, w.bytes());
    return file;
}

void AppTest::set_preference(const char* key, const char* value)
{
    kel::profile::write_string("Preferences", key, value, kel::profile::app_profile());
}

std::string AppTest::profile_value(const std::string& section, const std::string& key)
{
    return kel::profile::read_string(section, key, "<missing>", kel::profile::app_profile());
}

app::COrloApp& AppTest::start()
{
    app_ = std::make_unique<app::COrloApp>();
    EXPECT_TRUE(app_->init_instance());
    pump();
    return *app_;
}

void AppTest::stop()
{
    if (!app_)
        return;
    if (app_->main_frame())
        app_->main_frame()->close();
    app_.reset();
    kel::set_ui(&ui);
}

void AppTest::when_modal(std::function<void(QWidget*)> fn, int timeout_ms)
{
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, fn, timeout_ms] {
        QWidget* modal = QApplication::activeModalWidget();
        // The progress window of a long operation is not what the test waits for.
        if (modal && modal->objectName() == "MESSAGEDLG")
            modal = nullptr;
        if (!modal && clock->elapsed() < timeout_ms)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (modal)
            fn(modal);
    });
    timer->start(20);
}

void AppTest::pump(int ms)
{
    QCoreApplication::processEvents();
    if (ms > 0)
        QTest::qWait(ms);
    QCoreApplication::processEvents();
}
