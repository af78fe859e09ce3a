#pragma once
// Reading and writing whole cabinets in the tests, through libgcab.
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <libgcab.h>

namespace cabtest {

using CabFiles = std::vector<std::pair<std::string, std::string>>; // name, bytes

// The files of the cabinet at `path`, in cabinet order. Throws
// std::runtime_error when it cannot be read.
inline CabFiles ReadCabinet(const std::string& path) {
    GError* error = nullptr;
    GFile* in = g_file_new_for_path(path.c_str());
    GFileInputStream* stream = g_file_read(in, nullptr, &error);
    GCabCabinet* cabinet = gcab_cabinet_new();
    CabFiles out;
    bool ok = stream && gcab_cabinet_load(cabinet, G_INPUT_STREAM(stream), nullptr, &error) &&
              gcab_cabinet_extract(cabinet, nullptr, nullptr, nullptr, nullptr, nullptr, &error);
    if (ok) {
        GPtrArray* folders = gcab_cabinet_get_folders(cabinet);
        for (guint i = 0; i < folders->len; ++i) {
            GSList* files =
                gcab_folder_get_files(static_cast<GCabFolder*>(g_ptr_array_index(folders, i)));
            for (GSList* l = files; l; l = l->next) {
                auto* f = static_cast<GCabFile*>(l->data);
                gsize size = 0;
                const char* p =
                    static_cast<const char*>(g_bytes_get_data(gcab_file_get_bytes(f), &size));
                out.emplace_back(gcab_file_get_name(f), std::string(p ? p : "", size));
            }
            g_slist_free(files);
        }
    }
    if (error)
        g_error_free(error);
    g_object_unref(cabinet);
    if (stream)
        g_object_unref(stream);
    g_object_unref(in);
    if (!ok)
        throw std::runtime_error("cannot read the cabinet " + path);
    return out;
}

// Writes `files` as an uncompressed cabinet to `path`. Throws
// std::runtime_error when it cannot.
inline void WriteCabinet(const std::string& path, const CabFiles& files) {
    GError* error = nullptr;
    GCabCabinet* cabinet = gcab_cabinet_new();
    GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_NONE);
    bool ok = true;
    for (const auto& [name, data] : files) {
        GBytes* bytes = g_bytes_new(data.data(), data.size());
        GCabFile* file = gcab_file_new_with_bytes(name.c_str(), bytes);
        g_bytes_unref(bytes);
        ok = ok && gcab_folder_add_file(folder, file, FALSE, nullptr, &error);
        g_object_unref(file);
    }
    ok = ok && gcab_cabinet_add_folder(cabinet, folder, &error);
    GFile* target = g_file_new_for_path(path.c_str());
    GFileOutputStream* os =
        ok ? g_file_replace(target, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, &error) : nullptr;
    ok = os &&
         gcab_cabinet_write_simple(cabinet, G_OUTPUT_STREAM(os), nullptr, nullptr, nullptr, &error);
    if (os) {
        ok = g_output_stream_close(G_OUTPUT_STREAM(os), nullptr, nullptr) && ok;
        g_object_unref(os);
    }
    if (error)
        g_error_free(error);
    g_object_unref(target);
    g_object_unref(folder);
    g_object_unref(cabinet);
    if (!ok)
        throw std::runtime_error("cannot write the cabinet " + path);
}

} // namespace cabtest
