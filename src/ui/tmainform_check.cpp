// The main window's layout check: the "Check Layout" button, its findings
// window, and the question before a cabinet is built from a layout with errors.
#include <QMessageBox>
#include <QTabWidget>

#include "check/layoutcheck.h"
#include "model/panel.h"
#include "preview/preview.h"
#include "ui/tcheckform.h"
#include "ui/tmainform.h"

namespace tessaro::ui {

void TMainForm::CheckLayoutClick() {
    Guard([this] {
        // Right after an open or an import, the design as its file holds it,
        // so that what the designer's rules removed is still reported.
        const model::Theme& design = asRead_ ? *asRead_ : doc_;
        const auto findings = check::CheckLayout(design, {doc_.AppDir, {}}, preview_->Fonts());
        if (!checkForm_) {
            checkForm_ = new TCheckForm(this);
            connect(checkForm_, &TCheckForm::EntryChosen, this,
                    [this](int entry) { OpenEntryFromCheck(entry); });
        }
        checkForm_->ShowFindings(findings);
        checkForm_->show();
        checkForm_->raise();
        checkForm_->activateWindow();
    });
}

bool TMainForm::ConfirmBuild() {
    int errors = 0;
    bool checked = false;
    Guard([&] {
        errors = check::CountErrors(check::CheckLayout(doc_, {doc_.AppDir, {}}, preview_->Fonts()));
        checked = true;
    });
    if (!checked) return false;
    if (errors == 0) return true;
    const QString question = QString::fromStdString(check::BuildQuestion(errors));
    if (hooks_.Ask) return hooks_.Ask(question);
    return QMessageBox::question(this, "Tessaro", question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm::OpenEntryFromCheck(int entry) {
    if (entry < 0 || entry >= model::CountEntries(doc_)) return;
    doc_.ActivePluginsList.Selected = entry;
    SyncEntryList();
    PageControl1->setCurrentWidget(HomePage);
    // As a double-click on the entry list opens it.
    if (!model::OpenEntryForEditing(doc_, panel_)) return;
    DrawPlugins();
    SyncPanel();
}

} // namespace tessaro::ui
