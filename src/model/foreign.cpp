#include "model/foreign.h"

#include "model/catalogue.h"

namespace tessaro::model {

namespace {
const std::string& Stored(const TPlugins& e) { return e.Items[2].Extra; }
} // namespace

bool IsForeignPlugin(const TPlugins& e) { return !Stored(e).empty() && KindIndex(e.Name) < 0; }

std::string ForeignElement(const TPlugins& e) {
    const std::string& s = Stored(e);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
    }
    return out;
}

void SetForeignElement(TPlugins& e, std::string_view element) {
    std::string s;
    s.reserve(element.size() + 8);
    for (char c : element) {
        if (c == '\\') s += "\\\\";
        else if (c == '\r') s += "\\r";
        else if (c == '\n') s += "\\n";
        else s += c;
    }
    e.Items[2].Extra = std::move(s);
}

} // namespace tessaro::model
