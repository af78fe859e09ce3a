#pragma once
// A program folder copied from the build's, a started document and a preview
// over it, for the style window handler tests. Needs a QGuiApplication (for
// the fonts), which the test program's environment creates.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/document.h"
#include "package/project.h"
#include "preview/preview.h"
#include "support/program_folder.h"
#include "support/style_entries.h"

namespace tessaro::testing {

class ProgramFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        dir_ =
            fs::temp_directory_path() / ("tessaro-style-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        testsupport::CopyProgramFolder(TESSARO_PROGRAM_DIR, dir_);
        package::StartDocument(doc_, dir_.string());
        preview_ = std::make_unique<preview::Preview>(doc_);
        preview_->SetMessageHandler([this](const std::string& m) { messages_.push_back(m); });
    }
    void TearDown() override {
        preview_.reset();
        std::filesystem::remove_all(dir_);
    }

    // Appends an entry of `kind` at `top` with `height`, as the editor fills it.
    int Add(const std::string& kind, int top, int height) {
        return testsupport::AddStyleEntry(doc_, kind, top, height);
    }

    std::string App(const std::string& name) const { return doc_.AppDir + name; }

    std::filesystem::path dir_;
    model::Document doc_;
    std::unique_ptr<preview::Preview> preview_;
    std::vector<std::string> messages_;
};

} // namespace tessaro::testing
