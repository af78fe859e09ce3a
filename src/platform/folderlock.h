#pragma once
// An exclusive lock on a program folder, held while an operation uses the
// folder's work files ("temp", "CF.inf", "CF.cab", "Theme.cab", the pictures
// the preview writes ...), so that two Tessaro processes working in one
// program folder take turns instead of mixing each other's files.
//
// The lock is flock() on the file kLockFileName in the folder. Within one
// process the lock is shared: a second ProgramFolderLock on a folder this
// process already holds only counts, so an operation may call another that
// locks too.
#include <string>

namespace tessaro::platform {

// The lock file in the program folder.
inline constexpr const char* kLockFileName = ".tessaro.lock";
// How long a second process waits for the lock before giving up.
inline constexpr int kProgramFolderWaitMs = 30000;

class ProgramFolderLock {
  public:
    // Takes the lock on `folder` ("" for the current folder), waiting up to
    // waitMs while another process holds it. Throws Error "The program folder
    // ... is in use by another Tessaro ..." when the wait runs out. A folder
    // in which the lock file cannot be created (missing, read-only) is not
    // locked: no work file can be written there either.
    explicit ProgramFolderLock(const std::string& folder, int waitMs = kProgramFolderWaitMs);
    ~ProgramFolderLock();
    ProgramFolderLock(const ProgramFolderLock&) = delete;
    ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

  private:
    bool held_ = false;
    unsigned long long dev_ = 0, ino_ = 0;
};

} // namespace tessaro::platform
