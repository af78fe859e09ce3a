#include "uitestutil.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>

#include "support/program_folder.h"

namespace fs = std::filesystem;

namespace tessaro::uitest {

std::string MakeProgramFolder(const QString& tag) {
    const fs::path dir = fs::temp_directory_path() /
                         ("tessaro_ui_" + tag.toStdString() + "_" +
                          std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    testsupport::CopyProgramFolder(TESSARO_PROGRAM_DIR, dir);
    return dir.string() + "/";
}

void RemoveFolder(const std::string& dir) {
    std::error_code ec;
    fs::remove_all(dir, ec);
}

bool ShowOnHomePage(std::unique_ptr<ui::TMainForm>& w, const std::string& appDir, ui::MainFormHooks hooks) {
    w = std::make_unique<ui::TMainForm>(appDir, std::move(hooks));
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) return false;
    w->PageControl1->setCurrentWidget(w->HomePage);
    return true;
}

void ClickLine(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

} // namespace tessaro::uitest
