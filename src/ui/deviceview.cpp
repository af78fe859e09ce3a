#include "ui/deviceview.h"

#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSettings>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "model/directedit.h"
#include "preview/devicescreen.h"
#include "preview/preview.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"

namespace tessaro::ui {

namespace {

constexpr int kNudgeRunMs = 1500; // arrow presses closer than this are one run
const char* kSettingsGroup = "DeviceView";

QSettings Settings() {
    return QSettings("Tessaro", "Tessaro");
}

} // namespace

// The zoomed screen with its overlays; hands the mouse and the keys, in
// screen pixels, to the window.
class DeviceScreenView : public QWidget {
  public:
    explicit DeviceScreenView(DeviceView& view) : QWidget(&view), view_(view) {
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(false);
        setMinimumSize(preview::kWidth, preview::kScreenHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void SetScreen(const platform::Bitmap& screen) {
        screen_ = screen;
        update();
    }
    int Zoom() const {
        return fitted_
                   ? preview::FitZoom(preview::kWidth, preview::kScreenHeight, width(), height())
                   : zoom_;
    }
    void SetZoom(int zoom, bool fitted) {
        zoom_ = zoom;
        fitted_ = fitted;
        update();
    }
    bool Fitted() const { return fitted_; }
    QPoint Origin() const {
        const int z = Zoom();
        return {std::max(0, (width() - preview::kWidth * z) / 2),
                std::max(0, (height() - preview::kScreenHeight * z) / 2)};
    }
    QPoint ToScreen(QPointF pos) const {
        const QPoint o = Origin();
        const double z = Zoom();
        return {int(std::floor((pos.x() - o.x()) / z)), int(std::floor((pos.y() - o.y()) / z))};
    }

    bool ShowFold = true;
    bool ShowGrid = false;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        if (screen_.Empty())
            return;
        const int z = Zoom();
        const QPoint o = Origin();
        p.drawImage(o, ToQImage(preview::ZoomScreen(screen_, z)));
        const QRect screenRect(o, QSize(preview::kWidth * z, preview::kScreenHeight * z));
        p.setClipRect(screenRect);

        if (ShowGrid) {
            for (int k = 10; k < preview::kScreenHeight; k += 10) {
                p.setPen(QColor(0, 0, 0, k % 50 == 0 ? 110 : 45));
                if (k < preview::kWidth)
                    p.drawLine(o.x() + k * z, o.y(), o.x() + k * z, screenRect.bottom());
                p.drawLine(o.x(), o.y() + k * z, screenRect.right(), o.y() + k * z);
            }
        }

        preview::Preview& pv = view_.main_.Preview();
        const int scroll = pv.ScrollBar1.Position;
        const int viewBottom = o.y() + preview::kViewHeight * z;
        // The current entry's band and the picked label.
        const int cur = view_.CurrentEntry();
        if (cur >= 0) {
            const model::TPlugins& e = view_.main_.Doc().Plugins[std::size_t(cur)];
            const int top = o.y() + (e.Top - scroll) * z;
            const int bottom =
                std::min(viewBottom, o.y() + (e.Top + std::max(e.Height, 1) - scroll) * z);
            if (bottom > o.y() && top < viewBottom) {
                p.setPen(QPen(QColor(255, 160, 0), 1, Qt::DashLine));
                p.drawRect(QRect(QPoint(o.x(), std::max(top, o.y())),
                                 QPoint(screenRect.right(), bottom - 1)));
            }
            preview::Preview::Cell c;
            bool has = false;
            try {
                has = view_.element_ >= 0 && pv.TextCell(cur, view_.element_, c);
            } catch (const std::exception&) {
                has = false;
            }
            if (has) {
                p.setPen(QPen(QColor(0, 200, 255), 1, Qt::SolidLine));
                p.drawRect(o.x() + c.X * z, top + c.Y * z, c.Width * z - 1, c.Height * z - 1);
            }
        }
        if (ShowFold) {
            // Canvas row 200: the first one the phone shows only after scrolling.
            const int y = preview::kFold - scroll;
            if (y > 0 && y <= preview::kViewHeight) {
                const int vy = o.y() + y * z;
                p.setPen(QPen(QColor(255, 0, 160), 2, Qt::DashLine));
                p.drawLine(o.x(), vy - 1, screenRect.right(), vy - 1);
                p.setPen(QColor(255, 0, 160));
                p.drawText(QRect(o.x(), vy - 18, screenRect.width() - 4, 16),
                           Qt::AlignRight | Qt::AlignBottom, "fold");
            }
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton)
            return;
        setFocus(Qt::MouseFocusReason);
        view_.Press(ToScreen(e->position()));
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (e->buttons() & Qt::LeftButton)
            view_.Drag(ToScreen(e->position()));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            view_.Release();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            view_.DoubleClick(ToScreen(e->position()));
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int step = e->modifiers() & Qt::ShiftModifier ? 10 : 1;
        switch (e->key()) {
        case Qt::Key_Left:
            view_.Nudge(-step, 0);
            break;
        case Qt::Key_Right:
            view_.Nudge(step, 0);
            break;
        case Qt::Key_Up:
            view_.Nudge(0, -step);
            break;
        case Qt::Key_Down:
            view_.Nudge(0, step);
            break;
        default:
            QWidget::keyPressEvent(e);
            return;
        }
        e->accept();
    }
    void wheelEvent(QWheelEvent* e) override {
        // Scrolls the layout as the main window's scroll bar does.
        QScrollBar* bar = view_.main_.ScrollBar1;
        if (!bar->isEnabled())
            return;
        bar->setValue(bar->value() - e->angleDelta().y() / 120 * 20);
        e->accept();
    }

  private:
    DeviceView& view_;
    platform::Bitmap screen_;
    int zoom_ = 2;
    bool fitted_ = true;
};

DeviceView::DeviceView(TMainForm& main) : QWidget(&main, Qt::Window), main_(main) {
    setObjectName("DeviceView");
    setWindowTitle("Device View");
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* bar = new QHBoxLayout;
    layout->addLayout(bar);
    bar->addWidget(new QLabel("Zoom", this));
    ZoomBox = new QComboBox(this);
    ZoomBox->setObjectName("ZoomBox");
    ZoomBox->addItem("Fit");
    for (int z = preview::kMinZoom; z <= preview::kMaxZoom; ++z)
        ZoomBox->addItem(QString("%1x").arg(z));
    bar->addWidget(ZoomBox);
    SelectedToggle = new QCheckBox("Selected state", this);
    SelectedToggle->setObjectName("SelectedToggle");
    SelectedToggle->setToolTip("Show the current entry as the phone shows the selected plugin");
    SelectedToggle->setChecked(true);
    FoldToggle = new QCheckBox("Fold", this);
    FoldToggle->setObjectName("FoldToggle");
    FoldToggle->setToolTip("Mark row 200: what lies below shows only after scrolling");
    FoldToggle->setChecked(true);
    GridToggle = new QCheckBox("Grid", this);
    GridToggle->setObjectName("GridToggle");
    GridToggle->setToolTip("A line every 10 pixels");
    for (QCheckBox* c : {SelectedToggle, FoldToggle, GridToggle})
        bar->addWidget(c);
    bar->addStretch(1);

    auto* screen = new DeviceScreenView(*this);
    screen->setObjectName("Screen");
    Screen = screen;
    layout->addWidget(Screen, 1);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName("StatusLabel");
    StatusLabel->setWordWrap(true);
    layout->addWidget(StatusLabel);

    // Remembered size, zoom and toggles.
    {
        const QScopedValueRollback<bool> restoring(restoring_, true);
        QSettings s = Settings();
        s.beginGroup(kSettingsGroup);
        resize(s.value("size", QSize(420, 560)).toSize());
        SetZoomChoice(std::clamp(s.value("zoom", 0).toInt(), 0, preview::kMaxZoom));
        SelectedToggle->setChecked(s.value("selected", true).toBool());
        FoldToggle->setChecked(s.value("fold", true).toBool());
        GridToggle->setChecked(s.value("grid", false).toBool());
        screen->ShowFold = FoldToggle->isChecked();
        screen->ShowGrid = GridToggle->isChecked();
    }

    connect(ZoomBox, &QComboBox::currentIndexChanged, this, [this](int i) { SetZoomChoice(i); });
    connect(SelectedToggle, &QCheckBox::toggled, this, [this] {
        SaveSettings();
        EnsureSelection();
    });
    connect(FoldToggle, &QCheckBox::toggled, this, [this, screen](bool on) {
        screen->ShowFold = on;
        SaveSettings();
        screen->update();
    });
    connect(GridToggle, &QCheckBox::toggled, this, [this, screen](bool on) {
        screen->ShowGrid = on;
        SaveSettings();
        screen->update();
    });
    // Queued: the list changes its row inside the main window's own redraws.
    connect(
        main_.ActivePluginsList, &QListWidget::currentRowChanged, this,
        [this] { EnsureSelection(); }, Qt::QueuedConnection);
    connect(main_.ScrollBar1, &QScrollBar::valueChanged, this, [this] { Refresh(); });
    connect(&main_, &TMainForm::redrawn, this, [this] { Refresh(); });
}

DeviceView::~DeviceView() = default;

int DeviceView::CurrentEntry() const {
    const model::Document& doc = main_.Doc();
    const model::Panel& panel = main_.PanelState();
    const int n = model::CountEntries(doc);
    const int i = panel.State == model::PageState::Editing && panel.PanelVisible
                      ? doc.EditIndex
                      : doc.ActivePluginsList.Selected;
    return i >= 0 && i < n ? i : -1;
}

int DeviceView::WantedSelection() const {
    return isVisible() && SelectedToggle->isChecked() ? CurrentEntry() : -1;
}

int DeviceView::Zoom() const {
    return static_cast<DeviceScreenView*>(Screen)->Zoom();
}

bool DeviceView::Fitted() const {
    return static_cast<DeviceScreenView*>(Screen)->Fitted();
}

void DeviceView::SetZoomChoice(int choice) {
    choice = std::clamp(choice, 0, preview::kMaxZoom);
    static_cast<DeviceScreenView*>(Screen)->SetZoom(std::max(choice, 1), choice == 0);
    if (ZoomBox->currentIndex() != choice)
        ZoomBox->setCurrentIndex(choice);
    SaveSettings();
}

QPoint DeviceView::WidgetPoint(int x, int y) const {
    const auto* s = static_cast<const DeviceScreenView*>(Screen);
    const int z = s->Zoom();
    return s->Origin() + QPoint(x * z + z / 2, y * z + z / 2);
}

void DeviceView::Refresh() {
    if (!isVisible())
        return;
    preview::Preview& pv = main_.Preview();
    const bool selected = SelectedToggle->isChecked() && pv.SelectedEntry() >= 0;
    static_cast<DeviceScreenView*>(Screen)->SetScreen(selected ? pv.SelectedScreen() : pv.Screen());
    if (CurrentEntry() < 0)
        element_ = -1;
    UpdateStatus();
}

void DeviceView::EnsureSelection() {
    if (!isVisible())
        return;
    if (main_.Preview().SelectedEntry() != WantedSelection())
        main_.DrawPlugins();
    else
        Refresh();
}

void DeviceView::UpdateStatus() {
    const int cur = CurrentEntry();
    if (cur < 0) {
        StatusLabel->setText("Click an entry to select it; double-click to edit it.");
        return;
    }
    model::Document& doc = main_.Doc();
    const model::TPlugins& e = doc.Plugins[std::size_t(cur)];
    const model::SpinField b = model::PositionBounds(doc, cur);
    QString text =
        FromDoc(e.Name) +
        QString(": Top %1 (%2..%3), Height %4").arg(e.Top).arg(b.Min).arg(b.Max).arg(e.Height);
    if (element_ >= 0) {
        const model::TPluginItem& it = e.Items[std::size_t(element_)];
        text += QString("; element %1 at %2, %3").arg(element_ + 1).arg(it.X).arg(it.Y);
    }
    const std::string& problem = main_.Preview().SelectedProblem;
    if (SelectedToggle->isChecked() && !problem.empty())
        text = "Shown unselected: " + QString::fromStdString(problem) + "\n" + text;
    StatusLabel->setText(text);
}

std::optional<preview::ScreenHit> DeviceView::HitAt(QPoint at) const {
    try {
        const preview::ScreenHit hit = preview::HitTest(main_.Preview(), at.x(), at.y());
        if (hit.Entry >= 0)
            return hit;
    } catch (const std::exception&) {
        // A layout the pass could not draw has nothing to hit.
    }
    return std::nullopt;
}

void DeviceView::Press(QPoint at) {
    drag_ = DragState{};
    nudgeSeries_ = 0;
    const std::optional<preview::ScreenHit> found = HitAt(at);
    if (!found)
        return;
    const preview::ScreenHit hit = *found;
    element_ = hit.Slot;
    main_.SelectEntry(hit.Entry);
    EnsureSelection();
    const model::TPlugins& e = main_.Doc().Plugins[std::size_t(hit.Entry)];
    drag_.Active = true;
    drag_.Entry = hit.Entry;
    drag_.Slot = hit.Slot;
    drag_.Start = at;
    drag_.StartTop = e.Top;
    if (hit.Slot >= 0) {
        drag_.StartX = e.Items[std::size_t(hit.Slot)].X;
        drag_.StartY = e.Items[std::size_t(hit.Slot)].Y;
    }
    drag_.Series = nextSeries_++;
}

void DeviceView::Drag(QPoint at) {
    if (!drag_.Active)
        return;
    const QPoint d = at - drag_.Start;
    const DragState g = drag_;
    if (g.Slot >= 0) {
        main_.ApplyDirectEdit("Move Element", g.Series,
                              [g, d](model::Document& doc, model::Panel& panel) {
                                  return model::MoveElementTo(doc, panel, g.Entry, g.Slot,
                                                              g.StartX + d.x(), g.StartY + d.y());
                              });
    } else {
        main_.ApplyDirectEdit(
            "Move Entry", g.Series, [g, d](model::Document& doc, model::Panel& panel) {
                return model::MoveEntryTo(doc, panel, g.Entry, g.StartTop + d.y());
            });
    }
}

void DeviceView::Release() {
    drag_.Active = false;
}

void DeviceView::DoubleClick(QPoint at) {
    drag_ = DragState{};
    const std::optional<preview::ScreenHit> hit = HitAt(at);
    if (!hit)
        return;
    element_ = hit->Slot;
    main_.EditEntry(hit->Entry);
    EnsureSelection();
}

void DeviceView::Nudge(int dx, int dy) {
    const int cur = CurrentEntry();
    if (cur < 0)
        return;
    const int slot = element_;
    if (slot < 0 && dy == 0)
        return; // an entry moves up and down only
    const int target = cur * 4 + slot + 1;
    if (nudgeSeries_ == 0 || target != nudgeTarget_ || !lastNudge_.isValid() ||
        lastNudge_.elapsed() > kNudgeRunMs)
        nudgeSeries_ = nextSeries_++;
    nudgeTarget_ = target;
    lastNudge_.start();
    if (slot >= 0) {
        main_.ApplyDirectEdit(
            "Nudge Element", nudgeSeries_, [=](model::Document& doc, model::Panel& panel) {
                const model::TPluginItem& it =
                    doc.Plugins[std::size_t(cur)].Items[std::size_t(slot)];
                return model::MoveElementTo(doc, panel, cur, slot, it.X + dx, it.Y + dy);
            });
    } else {
        main_.ApplyDirectEdit(
            "Nudge Entry", nudgeSeries_, [=](model::Document& doc, model::Panel& panel) {
                return model::MoveEntryTo(doc, panel, cur, doc.Plugins[std::size_t(cur)].Top + dy);
            });
    }
}

void DeviceView::SaveSettings() const {
    if (restoring_)
        return;
    QSettings s = Settings();
    s.beginGroup(kSettingsGroup);
    s.setValue("size", size());
    s.setValue("zoom", ZoomBox->currentIndex());
    s.setValue("selected", SelectedToggle->isChecked());
    s.setValue("fold", FoldToggle->isChecked());
    s.setValue("grid", GridToggle->isChecked());
}

void DeviceView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (isVisible())
        SaveSettings();
}

void DeviceView::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    Screen->setFocus(Qt::OtherFocusReason); // the arrow keys nudge from the start
    EnsureSelection();
}

void DeviceView::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    SaveSettings();
}

} // namespace tessaro::ui

namespace tessaro::ui {

QIcon DeviceViewIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(3.5, 0.5, 9, 15), 2, 2);
    p.fillRect(5, 2, 6, 8, QColor(120, 190, 255));
    p.fillRect(5, 11, 6, 2, QColor(200, 200, 200));
    return QIcon(pm);
}

} // namespace tessaro::ui
