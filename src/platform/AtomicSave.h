#pragma once

#include <cstddef>
#include <string>

// Replaces a file so that readers and crashes see the old file or the whole new one, never a
// part. The bytes go to a temporary file beside it, named ".<name>.modwright-save-XXXXXX",
// which its writer holds under an exclusive flock until it has been renamed over the file.
// A process killed meanwhile leaves that file behind, unlocked; the next save of the same
// file removes it (RemoveStaleSaveFiles), and so does the program's start for its own
// configuration folder. Plain POSIX, no Qt.
//
// Steps report an errno value (0 for success) so that callers word their own messages. An
// existing target that is not a regular file (a device) is written in place, as nothing
// can be renamed over it. A symbolic link keeps pointing to its target, which is replaced,
// and an existing file keeps its permission bits.
class TAtomicSave {
public:
    explicit TAtomicSave(const std::string &Path);
    // Removes the temporary file when the save was not committed.
    ~TAtomicSave();
    TAtomicSave(const TAtomicSave &) = delete;
    TAtomicSave &operator=(const TAtomicSave &) = delete;

    // Creates the temporary file (or opens a device in place).
    int Open();
    int Write(const void *Data, std::size_t Size);
    // Flushes to disk, renames over the file and flushes the folder.
    int Commit();

private:
    void discard();

    std::string path_;
    std::string target_; // the file replaced: path_, or the file a link points to
    std::string temp_;   // empty when writing in place
    int fd_ = -1;
    int lock_ = -1; // a second descriptor of the temporary file that keeps the lock
    bool existed_ = false;
    unsigned mode_ = 0;
};

// Removes the temporary files of atomic saves in Folder that no live writer holds: those of
// the file named Name, or of every file when Name is empty. Anything else, and a file being
// written right now, is left alone. Returns how many files it removed.
int RemoveStaleSaveFiles(const std::string &Folder, const std::string &Name = {});
