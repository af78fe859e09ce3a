#include "ui/tcheckform.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tessaro::ui {

namespace {
constexpr int kEntryRole = Qt::UserRole;
}

TCheckForm::TCheckForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Check Layout");
    resize(460, 300);
    auto* layout = new QVBoxLayout(this);
    FindingsList = new QListWidget(this);
    FindingsList->setToolTip("Double Click to Edit");
    FindingsList->setWordWrap(true);
    FindingsList->setIconSize(QSize(16, 16));
    layout->addWidget(FindingsList);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    CloseButton = new QPushButton("Close", this);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);

    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    connect(FindingsList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int entry = item ? item->data(kEntryRole).toInt() : -1;
        if (entry < 0) return;
        close();
        emit EntryChosen(entry);
    });
}

void TCheckForm::ShowFindings(const std::vector<check::Finding>& findings) {
    FindingsList->clear();
    if (findings.empty()) {
        auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_MessageBoxInformation),
                                         "No problems found: the layout is ready for the phone.");
        item->setData(kEntryRole, -1);
        FindingsList->addItem(item);
        return;
    }
    for (const check::Finding& f : findings) {
        const QIcon icon = style()->standardIcon(f.Level == check::Severity::Error
                                                     ? QStyle::SP_MessageBoxCritical
                                                     : QStyle::SP_MessageBoxWarning);
        QString text = f.Entry >= 0 ? QString("Entry %1 (%2): ")
                                          .arg(f.Entry)
                                          .arg(QString::fromStdString(f.Kind))
                                    : QString("Layout: ");
        text += QString::fromStdString(f.Message);
        auto* item = new QListWidgetItem(icon, text);
        item->setData(kEntryRole, f.Entry);
        item->setToolTip(QString::fromStdString(check::SeverityName(f.Level)) + " [" +
                         QString::fromStdString(f.Code) + "]");
        FindingsList->addItem(item);
    }
}

int TCheckForm::EntryOfLine(int row) const {
    const QListWidgetItem* item = FindingsList->item(row);
    return item ? item->data(kEntryRole).toInt() : -1;
}

} // namespace tessaro::ui
