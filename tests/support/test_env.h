#pragma once
#include "platform/ui.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// A fresh program directory, data directory, profile and headless UI for each test.
class TestEnv : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return root + name; }
    // This run's working files: those of its run folder whose names end in ".tmp".
    int working_file_count() const;
    // Files of this run's folder with that ending, sorted (none before the folder exists).
    std::vector<std::string> run_files(const std::string& suffix) const;
    std::string read_file(const std::string& file) const;
    void write_file(const std::string& file, const std::string& bytes) const;

    std::string root;    // with trailing '/'
    std::string program; // $KELVARA_HOME
    std::string data;    // "Last used directory"
    kel::HeadlessUi ui;
    std::string old_cwd;
};
