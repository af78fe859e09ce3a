#pragma once
// File operations standing in for the platform's: copy, delete, folders,
// whole-file reads and writes, path pieces.
#include <string>
#include <string_view>

namespace tessaro::platform {

// Copies src to dst, replacing dst (a dst that already holds src's bytes and
// permissions is left as it is). Returns false on failure (callers that
// follow the platform's rules ignore it).
bool CopyFile(const std::string& src, const std::string& dst);
bool DeleteFile(const std::string& path);
bool FileExists(const std::string& path);
// Creates one folder level. Returns false when it does not exist afterwards.
bool CreateFolder(const std::string& path);
// Creates one folder level, or finds it there. Throws Error naming the folder
// when it cannot: "... the folder \"P\" is not writable." when its parent
// P refuses, "... \"P\" does not exist." when there is no parent, or the
// system's reason.
void MakeFolder(const std::string& path);

// Whole-file read; throws Error "Cannot open file \"%s\". %s" when it cannot.
std::string ReadFile(const std::string& path);
// Writes through a temporary file and a rename, so a failed write never
// truncates what was there. A link is followed (the file it points at is
// replaced) and a replaced file keeps its permissions. Throws Error when it
// cannot.
void WriteFileAtomic(const std::string& path, std::string_view data);
// WriteFileAtomic, unless `path` already holds exactly `data` (then it is
// left alone: replacing a file gives its blocks back and takes new ones, which
// on a disk that discards freed blocks costs milliseconds). Returns true when
// the file was written.
bool WriteFileAtomicIfChanged(const std::string& path, std::string_view data);
// Plain write (create or truncate). Throws Error when it cannot.
void WriteFile(const std::string& path, std::string_view data);
// For work files the program rewrites over and over (the preview's pictures):
// leaves the file alone when it already holds exactly `data`, otherwise
// overwrites it in place and cuts it to the new length. The last bytes written
// to each path are remembered with the file's identity, size and change
// times, so an unchanged file is recognised without reading it back. Returns
// true when the file was written. Throws Error (as WriteFile) when it cannot.
// A file changed within the last seconds is compared by reading it back.
bool UpdateFile(const std::string& path, std::string_view data);

// A file's identity, size and change times. Two equal stamps of a path mean
// the file was not replaced or written in between (to the file system's
// clock granularity). Size is -1 when there is no such file.
struct FileStamp {
    unsigned long long Dev = 0, Ino = 0;
    long long Size = -1;
    long long Modified[2] = {0, 0}, Changed[2] = {0, 0};
    bool operator==(const FileStamp& o) const {
        return Dev == o.Dev && Ino == o.Ino && Size == o.Size && Modified[0] == o.Modified[0] &&
               Modified[1] == o.Modified[1] && Changed[0] == o.Changed[0] && Changed[1] == o.Changed[1];
    }
};
FileStamp StampOf(const std::string& path);
// Whether the stamp is old enough to tell changes apart: file times come from
// a coarse clock, so a file changed again within the same few milliseconds
// keeps its stamp. A stamp taken seconds after its change is safe to compare.
bool IsSettled(const FileStamp& stamp);

// Path pieces; both '/' and '\\' separate folders.
std::string FileNamePart(std::string_view path);   // "a/b/c.txt" -> "c.txt"
std::string FolderPart(std::string_view path);     // "a/b/c.txt" -> "a/b/" ("" when none)
std::string ExtensionOf(std::string_view path);    // "c.tar.gz" -> ".gz" ("" when none)
std::string WithoutExtension(std::string_view path); // "a/b/c.txt" -> "a/b/c"
std::string ChangeExtension(std::string_view path, std::string_view ext);

// The folder of the running executable, ending in '/'.
std::string ExecutableDir();

} // namespace tessaro::platform
