#pragma once
// A fresh program directory, profile and runtime folder per test, a Qt application for the
// whole program, and helpers that answer modal windows from the event loop.
#include "editor/app/orlo_app.h"
#include "editor/ui/main_frame.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class AppTest : public TestEnv
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a 16-bit stereo wave file of n frames into the test folder; returns its path.
    std::string make_wave(const std::string& name, int frames = 4410);
    void set_preference(const char* key, const char* value);
    std::string profile_value(const std::string& section, const std::string& key);
    // Starts the application (logo and tips are off unless a test turns them on).
    app::COrloApp& start();
    // Ends it the way the user does and destroys it.
    void stop();
    // Runs fn on the next modal window that appears, from the event loop.
    void when_modal(std::function<void(QWidget*)> fn, int timeout_ms = 3000);
    void pump(int ms = 0);

    std::unique_ptr<app::COrloApp> app_;
    std::vector<std::vector<std::string>> started; // programs the frame started
};
