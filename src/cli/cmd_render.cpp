// tessaro-cli render: one preview pass for a project, written as a PNG.
#include <cstdio>
#include <string>

#include <QImage>
#include <QString>

#include "cli/commands.h"
#include "cli/session.h"
#include "model/document.h"
#include "model/error.h"
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
    if (!img.save(QString::fromStdString(out), "PNG"))
        throw Error("Cannot write \"" + out + "\"");
    return 0;
}

} // namespace tessaro::cli
