#include "ui/stylewidgets.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <algorithm>
#include <exception>

#include "model/error.h"

namespace tessaro::ui {

platform::Bitmap FromQImage(const QImage& image) {
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    platform::Bitmap bmp(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        std::uint32_t* dst = bmp.Row(y);
        for (int x = 0; x < img.width(); ++x)
            dst[x] = src[x] | 0xFF000000u;
    }
    return bmp;
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    if (parts.size() < 2)
        return parts.front(); // already a plain pattern
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i] + " (" + patterns + ")";
    }
    return out.join(";;");
}

void ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, "Tessaro", text, QMessageBox::Ok, parent);
    box.exec();
}

bool RunHandler(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ShowMessage(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

BitmapView::BitmapView(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void BitmapView::Show(const platform::Bitmap& bmp) {
    setPixmap(QPixmap::fromImage(ToQImage(bmp)));
}

BoundedSpinBox::BoundedSpinBox(QWidget* parent) : QSpinBox(parent) {
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString& t) { emit typed(t); });
}

QString BoundedSpinBox::TypedText() const { return lineEdit()->text(); }

QValidator::State BoundedSpinBox::validate(QString& text, int&) const {
    const QString t = text.trimmed();
    if (t.isEmpty() || t == "-" || t == "+")
        return QValidator::Intermediate;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok || t.size() > 10)
        return QValidator::Invalid;
    return (v >= minimum() && v <= maximum()) ? QValidator::Acceptable : QValidator::Intermediate;
}

void BoundedSpinBox::fixup(QString& text) const {
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    // Text that is no number reads as the lower bound.
    text = QString::number(ok ? std::clamp<long long>(v, minimum(), maximum()) : minimum());
}

} // namespace tessaro::ui
