// Cabwizsp: builds a Windows CE installable cabinet from a setup INF.
//
//   Cabwizsp [--mszip] FILE.inf
//
// Reads FILE.inf, takes the listed source files from the folders its
// [SourceDisksNames] give (relative to the INF's folder) and writes
// FILE.cab into the current folder: one cabinet folder holding the installer
// header (".000") first and then every listed file under its numbered 8.3
// name. Files are stored uncompressed unless --mszip is given. Any problem is
// reported on stderr with exit status 1, and then no cabinet is written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

#include <libgcab.h>

#include "inf.h"
#include "toolsupport.h"

namespace {

using cabtool::Failure;
using cabtool::ReadAll;
using cabtool::Ref;

void Check(gboolean ok, GError* error, const std::string& what) {
    if (!ok)
        throw Failure{cabtool::WithError(what, error)};
}

void AddFile(GCabFolder* folder, const std::string& name, const std::string& data,
             GDateTime* when) {
    GBytes* bytes = g_bytes_new(data.data(), data.size());
    Ref<GCabFile> file(gcab_file_new_with_bytes(name.c_str(), bytes));
    g_bytes_unref(bytes);
    gcab_file_set_date_time(file.p, when);
    gcab_file_set_attributes(file.p, GCAB_FILE_ATTRIBUTE_ARCH);
    GError* error = nullptr;
    Check(gcab_folder_add_file(folder, file.p, FALSE, nullptr, &error), error,
          "cannot add \"" + name + "\" to the cabinet");
}

void WriteCabinet(const cabwiz::Plan& plan, const std::string& header, const std::string& out,
                  bool mszip) {
    // A fixed date, so builds repeat exactly.
    const std::unique_ptr<GDateTime, void (*)(GDateTime*)> when(
        g_date_time_new_utc(2004, 1, 1, 12, 0, 0), g_date_time_unref);
    Ref<GCabCabinet> cabinet(gcab_cabinet_new());
    Ref<GCabFolder> folder(gcab_folder_new(mszip ? GCAB_COMPRESSION_MSZIP : GCAB_COMPRESSION_NONE));
    AddFile(folder.p, cabwiz::CabinetName(plan.AppName, 0), header, when.get());
    for (size_t i = 0; i < plan.Files.size(); ++i) {
        const auto& f = plan.Files[i];
        AddFile(folder.p, cabwiz::CabinetName(f.SourceName, static_cast<int>(i + 1)),
                ReadAll(f.SourcePath), when.get());
    }
    GError* error = nullptr;
    Check(gcab_cabinet_add_folder(cabinet.p, folder.p, &error), error,
          "cannot add the cabinet folder");

    // Written under a temporary name and renamed at the end, so a failed
    // build never leaves a cabinet behind.
    std::string temp = out + ".part";
    Ref<GFile> file(g_file_new_for_path(temp.c_str()));
    error = nullptr;
    Ref<GFileOutputStream> stream(
        g_file_replace(file.p, nullptr, FALSE, G_FILE_CREATE_REPLACE_DESTINATION, nullptr, &error));
    Check(stream.p != nullptr, error, "cannot create \"" + temp + "\"");
    error = nullptr;
    gboolean written = gcab_cabinet_write_simple(cabinet.p, G_OUTPUT_STREAM(stream.p), nullptr,
                                                 nullptr, nullptr, &error);
    GError* closeError = nullptr;
    gboolean closed = g_output_stream_close(G_OUTPUT_STREAM(stream.p), nullptr, &closeError);
    if (!written || !closed) {
        ::unlink(temp.c_str());
        if (written && closeError) {
            error = closeError;
        } else if (closeError) {
            g_error_free(closeError);
        }
        Check(FALSE, error, "cannot write \"" + out + "\"");
    }
    if (std::rename(temp.c_str(), out.c_str()) != 0) {
        int e = errno;
        ::unlink(temp.c_str());
        throw Failure{"cannot write \"" + out + "\": " + std::strerror(e)};
    }
}

int Usage() {
    std::fputs("Usage: Cabwizsp [--mszip] FILE.inf\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool mszip = false;
    std::string inf;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        size_t b = a.find_first_not_of(' ');
        a = b == std::string::npos ? "" : a.substr(b);
        while (!a.empty() && a.back() == ' ')
            a.pop_back();
        if (a.empty())
            continue;
        if (a == "--mszip")
            mszip = true;
        else if (a == "--help" || a == "-h") {
            std::fputs("Usage: Cabwizsp [--mszip] FILE.inf\n", stdout);
            return 0;
        } else if (a[0] == '-' || !inf.empty())
            return Usage();
        else
            inf = a;
    }
    if (inf.empty())
        return Usage();

    size_t slash = inf.find_last_of('/');
    std::string infDir = slash == std::string::npos ? "" : inf.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? inf : inf.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    std::string out = (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + ".cab";

    try {
        cabwiz::Plan plan = cabwiz::ReadInf(ReadAll(inf), infDir);
        WriteCabinet(plan, cabwiz::BuildHeader(plan), out, mszip);
        std::printf("%s: %zu file(s), %zu registry value(s)\n", out.c_str(), plan.Files.size(),
                    plan.Values.size());
        return 0;
    } catch (const cabwiz::InfError& e) {
        std::fprintf(stderr, "Cabwizsp: %s: %s\n", inf.c_str(), e.what());
    } catch (const Failure& e) {
        std::fprintf(stderr, "Cabwizsp: %s\n", e.Message.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Cabwizsp: %s\n", e.what());
    }
    return 1;
}
