// "Import Theme": a home layout or theme cabinet replaces the design, as an
// open does.
#include <QFileInfo>

#include "model/panel.h"
#include "package/import.h"
#include "ui/tmainform.h"

namespace tessaro::ui {

void TMainForm::ImportThemeClick() {
    const std::optional<std::string> path = PickOpenFile("Themes|*.home.xml;*.cab");
    if (!path) return;
    std::optional<package::ImportResult> imported;
    Guard([&] { imported = package::ImportTheme(*path, doc_.AppDir); });
    if (!imported) return;
    package::UseImportedTheme(doc_, imported->theme);
    // The page goes back to browsing: the entry the panel held is gone.
    model::ClosePanel(doc_, panel_);
    doc_.ActivePluginsList.Selected = -1;
    // The colours came with the theme's own file.
    ShowSchemeName(QFileInfo(QString::fromStdString(*path)).fileName());
    SyncPanel();
    DrawPlugins();
    if (!imported->report.empty()) {
        QString text = "Some of the theme could not be carried over:\n";
        for (const std::string& line : imported->report) text += "\n" + QString::fromStdString(line);
        ShowMessage(text);
    }
}

} // namespace tessaro::ui
