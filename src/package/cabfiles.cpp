// libgcab (glib) only: no Qt header may come before it here.
#include "package/cabfiles.h"

#include <libgcab.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "model/error.h"

namespace tessaro::package {

namespace {

template <typename T> struct Ref {
    T* p = nullptr;
    explicit Ref(T* q = nullptr) : p(q) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p) g_object_unref(p);
    }
};

std::string Described(std::string what, GError* error) {
    if (error) {
        what += ": ";
        what += error->message;
        g_error_free(error);
    }
    return what;
}

// A scratch folder removed with everything in it.
struct WorkFolder {
    std::string Path;
    WorkFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessaro-import-XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!::mkdtemp(buf.data())) throw Error(std::string("Cannot create a work folder: ") + std::strerror(errno) + ".");
        Path = buf.data();
    }
    ~WorkFolder() {
        if (DIR* d = ::opendir(Path.c_str())) {
            while (dirent* e = ::readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..") ::unlink((Path + "/" + n).c_str());
            }
            ::closedir(d);
        }
        ::rmdir(Path.c_str());
    }
};

struct Naming {
    int Next = 0;
    std::map<std::string, std::string> ByExtracted; // our name -> name in the cabinet
    std::size_t Declared = 0;
};

// Every file is unpacked under a name of ours: names from the cabinet never
// choose where anything is written.
gboolean NameFile(GCabFile* file, gpointer data) {
    auto* naming = static_cast<Naming*>(data);
    const std::string safe = "f" + std::to_string(naming->Next++);
    naming->ByExtracted[safe] = gcab_file_get_name(file);
    gcab_file_set_extract_name(file, safe.c_str());
    return TRUE;
}

} // namespace

std::vector<CabinetFile> ReadCabinetFiles(const std::string& path, std::size_t maxBytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw Error("Cannot open \"" + path + "\". " + std::strerror(errno) + ".");
    if (std::size_t(st.st_size) > maxBytes)
        throw Error("The cabinet \"" + path + "\" is larger than a theme can be.");

    GError* error = nullptr;
    Ref<GFile> file(g_file_new_for_path(path.c_str()));
    Ref<GFileInputStream> stream(g_file_read(file.p, nullptr, &error));
    if (!stream.p) throw Error(Described("Cannot open \"" + path + "\"", error));
    Ref<GCabCabinet> cabinet(gcab_cabinet_new());
    if (!gcab_cabinet_load(cabinet.p, G_INPUT_STREAM(stream.p), nullptr, &error))
        throw Error(Described("\"" + path + "\" is not a cabinet", error));

    // What the files say they unpack to is checked before anything is unpacked.
    std::size_t declared = 0;
    GPtrArray* folders = gcab_cabinet_get_folders(cabinet.p);
    for (guint i = 0; i < folders->len; ++i) {
        GSList* files = gcab_folder_get_files(GCAB_FOLDER(g_ptr_array_index(folders, i)));
        for (GSList* f = files; f; f = f->next) declared += gcab_file_get_size(GCAB_FILE(f->data));
        g_slist_free(files);
    }
    if (declared > maxBytes) throw Error("The cabinet \"" + path + "\" unpacks to more than a theme can be.");

    WorkFolder work;
    Naming naming;
    Ref<GFile> dir(g_file_new_for_path(work.Path.c_str()));
    if (!gcab_cabinet_extract_simple(cabinet.p, dir.p, NameFile, &naming, nullptr, &error))
        throw Error(Described("Cannot unpack \"" + path + "\"", error));

    std::vector<CabinetFile> out;
    std::size_t total = 0;
    for (const auto& [safe, name] : naming.ByExtracted) {
        std::ifstream in(work.Path + "/" + safe, std::ios::binary);
        if (!in) throw Error("Cannot unpack \"" + name + "\" from \"" + path + "\".");
        CabinetFile f{name, std::string(std::istreambuf_iterator<char>(in), {})};
        total += f.Data.size();
        if (total > maxBytes) throw Error("The cabinet \"" + path + "\" unpacks to more than a theme can be.");
        out.push_back(std::move(f));
    }
    return out;
}

} // namespace tessaro::package
