#include "package/editor.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <unistd.h>

#include "model/error.h"
#include "formats/names.h"
#include "model/normalise.h"
#include "platform/files.h"

namespace tessaro::package {

namespace fs = std::filesystem;
using model::TPlugins;

struct Editor::State {
    std::vector<std::shared_ptr<const TPlugins>> Plugins;
    std::shared_ptr<const model::Theme> Wide; // the design without its records
    std::shared_ptr<const std::string> BGI;
    std::shared_ptr<const std::vector<std::string>> Lines;
    int Selected = -1;
    // Each picture the state names -> its content's key in the store ("" when
    // there was no such file).
    std::map<std::string, std::string> Files;
    std::string Name; // the step that led here
    std::map<std::string, std::string> Notes;
};

namespace {

// The design-wide fields: the Theme with its records moved out for the copy.
model::Theme WideOf(model::Document& doc) {
    std::vector<TPlugins> records;
    records.swap(doc.Plugins);
    model::Theme wide = doc;
    records.swap(doc.Plugins);
    return wide;
}

std::string KeyOf(const std::string& data) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : data) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%016llx-%zu", static_cast<unsigned long long>(h), data.size());
    return buf;
}

// A picture name the state keeps: a bare file name of the program folder.
bool Keepable(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." &&
           name != "..";
}

std::size_t StringBytes(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() + 1 : 0; // beyond the small-string buffer
}

std::size_t RecordBytes(const TPlugins& e) {
    std::size_t n = sizeof(TPlugins) + 32; // the record and its shared block
    n += StringBytes(e.Name) + StringBytes(e.ClsId) + StringBytes(e.DllName) +
         StringBytes(e.CustomImage) + StringBytes(e.BgImage);
    for (const auto& it : e.Items)
        n += StringBytes(it.SelWeight) + StringBytes(it.UnselWeight) + StringBytes(it.Text) +
             StringBytes(it.Extra);
    return n;
}

} // namespace

Editor::Editor(model::Document& doc, int limit)
    : doc_(doc), limit_(std::size_t(std::max(limit, 1))) {
    storeDir_ = doc_.AppDir + formats::kUndoStore + "/" + std::to_string(::getpid()) + "/";
    std::error_code ec;
    fs::remove_all(storeDir_, ec);
    // Stores left behind by designers that did not end normally.
    for (fs::directory_iterator it(doc_.AppDir + formats::kUndoStore, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        char* rest = nullptr;
        const long pid = std::strtol(name.c_str(), &rest, 10);
        if (pid > 0 && rest && !*rest && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
            std::error_code gone;
            fs::remove_all(it->path(), gone);
        }
    }
    states_.push_back(Capture(nullptr));
}

Editor::~Editor() {
    std::error_code ec;
    fs::remove_all(storeDir_, ec);
    fs::remove(doc_.AppDir + formats::kUndoStore, ec); // only when no other designer uses it
}

int Editor::AddListener(Listener fn) {
    listeners_.emplace_back(nextListener_, std::move(fn));
    return nextListener_++;
}

void Editor::RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void Editor::Notify(const EditEvent& e) {
    const auto copy = listeners_; // a listener may remove itself
    for (const auto& l : copy)
        l.second(e);
}

std::shared_ptr<Editor::State> Editor::Capture(const State* previous) {
    auto s = std::make_shared<State>();
    const std::size_t n = doc_.Plugins.size();
    s->Plugins.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (previous && i < previous->Plugins.size() && *previous->Plugins[i] == doc_.Plugins[i])
            s->Plugins[i] = previous->Plugins[i];
        else if (i > 0 && doc_.Plugins[i] == *s->Plugins[i - 1])
            s->Plugins[i] = s->Plugins[i - 1]; // runs of blank records share one
        else
            s->Plugins[i] = std::make_shared<const TPlugins>(doc_.Plugins[i]);
    }
    model::Theme wide = WideOf(doc_);
    s->Wide = previous && *previous->Wide == wide
                  ? previous->Wide
                  : std::make_shared<const model::Theme>(std::move(wide));
    s->BGI = previous && *previous->BGI == doc_.BGI ? previous->BGI
                                                    : std::make_shared<const std::string>(doc_.BGI);
    s->Lines = previous && *previous->Lines == doc_.ActivePluginsList.Lines
                   ? previous->Lines
                   : std::make_shared<const std::vector<std::string>>(doc_.ActivePluginsList.Lines);
    s->Selected = doc_.ActivePluginsList.Selected;
    CapturePictures(*s);
    return s;
}

void Editor::CapturePictures(State& s) {
    std::set<std::string> names;
    auto add = [&](const std::string& name) {
        if (Keepable(name))
            names.insert(name);
    };
    add(s.Wide->BackgroundImage);
    add(*s.BGI);
    for (const auto& e : s.Plugins) {
        if (!e->Used)
            continue;
        add(e->CustomImage);
        add(e->BgImage);
    }
    s.Files.clear();
    for (const std::string& name : names) {
        std::string key;
        try {
            const std::string data = platform::ReadFile(doc_.AppDir + name);
            key = KeyOf(data);
            if (!stored_.count(key)) {
                std::error_code ec;
                fs::create_directories(storeDir_, ec);
                platform::WriteFileAtomic(storeDir_ + key, data);
                stored_[key] = true;
            }
        } catch (const Error&) {
            // No such file (or no room to keep it): nothing to bring back.
            key.clear();
        }
        s.Files[name] = key;
    }
}

void Editor::Begin(const std::string& name, const std::string& series) {
    if (depth_++ == 0) {
        stepName_ = name;
        series_ = series;
        // The selection the user left is what an undo of this step goes back to.
        states_[current_]->Selected = doc_.ActivePluginsList.Selected;
    }
}

std::vector<std::string> Editor::Commit() {
    if (depth_ == 0)
        return {};
    if (--depth_ > 0)
        return {};
    EditEvent e;
    e.What = EditEvent::Kind::Step;
    e.Name = stepName_;
    e.Messages = model::Normalise(doc_);
    const State& before = *states_[current_];
    std::shared_ptr<State> after = Capture(&before);
    bool same = after->Wide == before.Wide && after->BGI == before.BGI &&
                after->Lines == before.Lines && after->Files == before.Files;
    for (std::size_t i = 0; same && i < after->Plugins.size(); ++i)
        same = i < before.Plugins.size() && after->Plugins[i] == before.Plugins[i];
    const bool join = !same && !series_.empty() && series_ == lastSeries_ &&
                      lastSeriesAt_ == current_ && current_ > 0 && current_ + 1 == states_.size() &&
                      saved_ != current_;
    if (join) {
        // One more move of the same drag or nudge series: the step grows.
        after->Name = stepName_;
        after->Notes = before.Notes;
        states_[current_] = std::move(after);
        Collect();
        e.Changed = true;
    } else if (!same) {
        after->Name = stepName_;
        after->Notes = before.Notes;
        states_.resize(current_ + 1); // the steps that could be redone are gone
        if (saved_ != kNone && saved_ > current_)
            saved_ = kNone;
        states_.push_back(std::move(after));
        ++current_;
        while (states_.size() > limit_ + 1)
            DropOldest();
        Collect();
        e.Changed = true;
    }
    if (!same) {
        lastSeries_ = series_;
        lastSeriesAt_ = current_;
    }
    Notify(e);
    return e.Messages;
}

std::vector<std::string> Editor::Apply(const std::string& name,
                                       const std::function<void(model::Document&)>& change) {
    Begin(name);
    try {
        change(doc_);
    } catch (...) {
        Commit();
        throw;
    }
    return Commit();
}

void Editor::DropOldest() {
    states_.erase(states_.begin());
    --current_;
    if (saved_ != kNone)
        saved_ = saved_ == 0 ? kNone : saved_ - 1;
}

void Editor::Collect() {
    std::set<std::string> used;
    for (const auto& s : states_)
        for (const auto& [name, key] : s->Files)
            if (!key.empty())
                used.insert(key);
    for (auto it = stored_.begin(); it != stored_.end();) {
        if (used.count(it->first)) {
            ++it;
            continue;
        }
        platform::DeleteFile(storeDir_ + it->first);
        it = stored_.erase(it);
    }
}

std::string Editor::UndoName() const {
    return CanUndo() ? states_[current_]->Name : std::string();
}
std::string Editor::RedoName() const {
    return CanRedo() ? states_[current_ + 1]->Name : std::string();
}

std::string Editor::Restore(const State& target) {
    const std::size_t n = std::min(doc_.Plugins.size(), target.Plugins.size());
    for (std::size_t i = 0; i < n; ++i)
        if (!(doc_.Plugins[i] == *target.Plugins[i]))
            doc_.Plugins[i] = *target.Plugins[i];
    std::vector<TPlugins> records;
    records.swap(doc_.Plugins);
    static_cast<model::Theme&>(doc_) = *target.Wide;
    records.swap(doc_.Plugins);
    doc_.BGI = *target.BGI;
    doc_.ActivePluginsList.Lines = *target.Lines;
    doc_.ActivePluginsList.Selected = target.Selected;
    // Pictures: what the state saw comes back where the file now differs.
    // A picture that cannot be written back does not stop the others.
    std::string failed;
    for (const auto& [name, key] : target.Files) {
        if (key.empty())
            continue;
        const std::string path = doc_.AppDir + name;
        try {
            if (platform::FileExists(path) && KeyOf(platform::ReadFile(path)) == key)
                continue;
        } catch (const Error&) {
        }
        try {
            platform::WriteFileAtomic(path, platform::ReadFile(storeDir_ + key));
        } catch (const Error& e) {
            if (failed.empty())
                failed = "The picture \"" + name + "\" could not be brought back: " + e.what();
        }
    }
    return failed;
}

bool Editor::Undo() {
    lastSeries_.clear();
    if (!CanUndo())
        return false;
    const std::string name = states_[current_]->Name;
    const std::string failed = Restore(*states_[current_ - 1]);
    --current_;
    Notify(EditEvent{EditEvent::Kind::Undo, name, true, {}});
    if (!failed.empty())
        throw Error(failed);
    return true;
}

bool Editor::Redo() {
    lastSeries_.clear();
    if (!CanRedo())
        return false;
    const std::string failed = Restore(*states_[current_ + 1]);
    ++current_;
    Notify(EditEvent{EditEvent::Kind::Redo, states_[current_]->Name, true, {}});
    if (!failed.empty())
        throw Error(failed);
    return true;
}

std::string Editor::Note(const std::string& key) const {
    const auto& notes = states_[current_]->Notes;
    const auto it = notes.find(key);
    return it == notes.end() ? std::string() : it->second;
}

void Editor::SetNote(const std::string& key, const std::string& note) {
    const std::string old = Note(key);
    for (auto& s : states_) {
        const auto it = s->Notes.find(key);
        if ((it == s->Notes.end() ? std::string() : it->second) == old)
            s->Notes[key] = note;
    }
}

void Editor::SetCurrentNote(const std::string& key, const std::string& note) {
    states_[current_]->Notes[key] = note;
}

void Editor::Reset() {
    lastSeries_.clear();
    const auto notes = states_[current_]->Notes;
    states_.clear();
    states_.push_back(Capture(nullptr));
    states_.back()->Notes = notes;
    current_ = 0;
    saved_ = 0;
    Collect();
    Notify(EditEvent{EditEvent::Kind::Reset, "", true, {}});
}

void Editor::Absorb() {
    if (depth_ > 0)
        return;
    auto now = Capture(states_[current_].get());
    now->Name = states_[current_]->Name;
    now->Notes = states_[current_]->Notes;
    states_[current_] = std::move(now);
    Collect();
}

void Editor::RefreshPictures() {
    CapturePictures(*states_[current_]);
    Collect();
}

std::size_t Editor::MemoryUsed() const {
    std::set<const void*> seen;
    std::size_t n = 0;
    for (const auto& s : states_) {
        n += sizeof(State) + 32 + s->Plugins.capacity() * sizeof(s->Plugins[0]);
        for (const auto& e : s->Plugins)
            if (seen.insert(e.get()).second)
                n += RecordBytes(*e);
        if (seen.insert(s->Wide.get()).second)
            n += sizeof(model::Theme) + 32;
        if (seen.insert(s->BGI.get()).second)
            n += sizeof(std::string) + 32 + StringBytes(*s->BGI);
        if (seen.insert(s->Lines.get()).second) {
            n += 32 + s->Lines->capacity() * sizeof(std::string);
            for (const auto& l : *s->Lines)
                n += StringBytes(l);
        }
        for (const auto& [name, key] : s->Files)
            n += 64 + StringBytes(name) + StringBytes(key);
        n += StringBytes(s->Name);
    }
    return n;
}

} // namespace tessaro::package
