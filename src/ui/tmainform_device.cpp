// The main window's side of the device view: opening it, selecting and
// opening entries for it, and the one path its edits take into the design.
#include <QKeySequence>
#include <QListWidget>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

#include "model/panel.h"
#include "package/editor.h"
#include "ui/deviceview.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"

namespace tessaro::ui {

void TMainForm::ConnectDeviceView() {
    connect(DeviceViewButton, &QToolButton::clicked, this, [this] { ShowDeviceView(); });
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    connect(shortcut, &QShortcut::activated, this, [this] { ShowDeviceView(); });
    for (QWidget* w : {static_cast<QWidget*>(BGImage), static_cast<QWidget*>(Image1),
                       static_cast<QWidget*>(Image2)})
        w->installEventFilter(this);
}

void TMainForm::ShowDeviceView() {
    if (!deviceView_)
        deviceView_ = new DeviceView(*this);
    deviceView_->show();
    deviceView_->raise();
    deviceView_->activateWindow();
}

DeviceView* TMainForm::DeviceWindow() const {
    return deviceView_;
}

int TMainForm::DeviceViewSelection() const {
    return deviceView_ ? deviceView_->WantedSelection() : -1;
}

void TMainForm::SelectEntry(int i) {
    if (i < 0 || i >= model::CountEntries(doc_))
        return;
    if (panel_.State == model::PageState::Editing && panel_.PanelVisible && doc_.EditIndex != i) {
        EditEntry(i);
        return;
    }
    doc_.ActivePluginsList.Selected = i;
    SyncEntryList();
}

void TMainForm::EditEntry(int i) {
    if (i < 0 || i >= model::CountEntries(doc_))
        return;
    doc_.ActivePluginsList.Selected = i;
    SyncEntryList();
    if (!model::OpenEntryForEditing(doc_, panel_))
        return;
    PageControl1->setCurrentWidget(HomePage);
    DrawPlugins();
    SyncPanel();
}

void TMainForm::ApplyDirectEdit(
    const QString& name, int series,
    const std::function<bool(model::Document&, model::Panel&)>& change) {
    // Every move of one drag or nudge series joins one undoable step.
    bool changed = false;
    editor_->Begin(name.toStdString(), "direct " + std::to_string(series));
    Guard([&] { changed = change(doc_, panel_); });
    Guard([this] { editor_->Commit(); });
    if (!changed)
        return;
    SyncPanel();
    emit directEditApplied(name, series);
}

} // namespace tessaro::ui
