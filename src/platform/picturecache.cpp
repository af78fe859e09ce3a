#include <map>
#include <mutex>

#include "platform/files.h"
#include "platform/picture.h"

namespace tessaro::platform {

namespace {

struct Kept {
    FileStamp Stamp;
    Bitmap Picture;
};

std::mutex keptMutex;
std::map<std::string, Kept> kept; // guarded by keptMutex

} // namespace

Bitmap ReadBmpKept(const std::string& path) {
    const FileStamp stamp = StampOf(path);
    if (IsSettled(stamp)) {
        std::lock_guard<std::mutex> lock(keptMutex);
        auto it = kept.find(path);
        if (it != kept.end() && it->second.Stamp == stamp) return it->second.Picture;
    }
    // Missing, changed or changed too lately to tell: read as ReadBmp does,
    // with its errors. The stamp was taken before the read, so a file that
    // changes meanwhile is read again next time.
    Bitmap picture = ReadBmp(path);
    if (IsSettled(stamp)) {
        std::lock_guard<std::mutex> lock(keptMutex);
        // The support pictures of one program folder are few.
        if (kept.size() >= 32 && !kept.count(path)) kept.clear();
        kept[path] = Kept{stamp, picture};
    }
    return picture;
}

} // namespace tessaro::platform
