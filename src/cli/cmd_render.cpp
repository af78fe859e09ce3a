// tessaro-cli render: one preview pass for a project, written as a PNG,
// optionally with one entry in the selected state and zoomed by whole pixels.
#include <cstdio>
#include <string>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include "cli/commands.h"
#include "cli/session.h"
#include "model/document.h"
#include "model/error.h"
#include "platform/files.h"
#include "preview/devicescreen.h"
#include "preview/preview.h"

namespace tessaro::cli {

namespace {

int ParseNumber(const std::string& option, const std::string& text) {
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) throw UsageError{option + " needs a whole number"};
    return v;
}

} // namespace

int CmdRender(const std::string& appDir, const Args& args) {
    std::string project, out;
    int scroll = 0, selected = -1, zoom = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--scroll" || a == "--selected" || a == "--zoom") {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a number"};
            const int v = ParseNumber(a, args[++i]);
            if (a == "--scroll") scroll = v;
            else if (a == "--selected") selected = v;
            else zoom = v;
            if (a == "--selected" && v < 0) throw UsageError{"--selected needs an entry number from 0"};
            if (a == "--zoom" && (v < preview::kMinZoom || v > preview::kMaxZoom))
                throw UsageError{"--zoom needs a whole number from 1 to 6"};
        } else if (project.empty()) {
            project = args[i];
        } else if (out.empty()) {
            out = args[i];
        } else {
            throw UsageError{"too many arguments"};
        }
    }
    if (project.empty() || out.empty()) throw UsageError{"render needs PROJECT.trpf and OUT.png"};

    EnsureGuiApplication(); // the fonts that draw the texts need it
    Session session = OpenLikeDesigner(appDir, project, true);
    preview::Preview& view = *session.View;
    if (selected >= 0) {
        const int count = model::CountEntries(*session.Doc);
        if (selected >= count)
            throw UsageError{"--selected " + std::to_string(selected) + ": the design has " +
                             std::to_string(count) + " entries (numbered from 0)"};
        view.SetSelectedEntry(selected);
        view.DrawPlugins();
    }
    view.ScrollBar1Change(scroll);

    const platform::Bitmap screen =
        preview::ZoomScreen(selected >= 0 ? view.SelectedScreen() : view.Screen(), zoom);
    QImage img(reinterpret_cast<const uchar*>(screen.Data()), screen.Width(), screen.Height(),
               screen.Width() * 4, QImage::Format_RGB32);
    // Encoded first and written through a temporary file, so a failed write
    // never truncates an existing picture and names its reason.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!img.save(&buffer, "PNG")) throw Error("Cannot encode the preview as PNG for \"" + out + "\".");
    platform::WriteFileAtomic(out, std::string_view(png.constData(), std::size_t(png.size())));
    return 0;
}

} // namespace tessaro::cli
