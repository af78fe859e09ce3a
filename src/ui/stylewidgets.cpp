#include "ui/stylewidgets.h"

#include <QMessageBox>
#include <QPixmap>
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

} // namespace tessaro::ui
