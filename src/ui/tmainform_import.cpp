// "Import Theme": a home layout or theme cabinet replaces the design, as an
// open does.
#include <QFileInfo>

#include "model/panel.h"
#include "package/editor.h"
#include "package/import.h"
#include "ui/tmainform.h"

namespace tessaro::ui {

void TMainForm::ImportThemeClick() {
    const std::optional<std::string> path = PickOpenFile("Themes|*.home.xml;*.cab");
    if (!path) return;
    // The import is one undoable step that replaces the design, as opening a
    // project does: unsaved work is asked about first.
    std::vector<std::string> report;
    const QString file = QFileInfo(QString::fromStdString(*path)).fileName();
    const bool done = ReplaceDesign("Import Theme", [&](model::Document& doc) {
        package::ImportResult imported = package::ImportTheme(*path, doc.AppDir);
        package::UseImportedTheme(doc, imported.theme);
        report = std::move(imported.report);
    }, "");
    if (!done) return;
    // The colours came with the theme's own file.
    ShowSchemeName(file);
    editor_->SetCurrentNote("scheme", file.toStdString());
    if (!report.empty()) {
        QString text = "Some of the theme could not be carried over:\n";
        for (const std::string& line : report) text += "\n" + QString::fromStdString(line);
        ShowMessage(text);
    }
}

} // namespace tessaro::ui
