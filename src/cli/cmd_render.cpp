// tessaro-cli render: one preview pass for a project, written as a PNG.
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
#include "preview/preview.h"

namespace tessaro::cli {

namespace {

int ParseScroll(const std::string& text) {
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) throw UsageError{"--scroll needs a whole number"};
    return v;
}

} // namespace

int CmdRender(const std::string& appDir, const Args& args) {
    std::string project, out;
    int scroll = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--scroll") {
            if (i + 1 >= args.size()) throw UsageError{"--scroll needs a number"};
            scroll = ParseScroll(args[++i]);
        } else if (project.empty()) {
            project = args[i];
        } else if (out.empty()) {
            out = args[i];
        } else {
            throw UsageError{"too many arguments"};
        }
    }
    if (project.empty() || out.empty()) throw UsageError{"render needs PROJECT.trpf and OUT.png"};

    Session session = OpenLikeDesigner(appDir, project, true);
    preview::Preview& view = *session.View;
    view.ScrollBar1Change(scroll);

    const platform::Bitmap screen = view.Screen();
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
