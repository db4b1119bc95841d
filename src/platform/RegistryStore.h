#pragma once

#include "platform/FileIo.h"
#include "platform/RegTree.h"

#include <functional>
#include <string>
#include <vector>

// The three registry roots the program uses.
enum class TRegRoot { CurrentUser, ClassesRoot, LocalMachine };

// "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE".
const char *RegRootName(TRegRoot root);

// The configuration folder that holds the registry files: $MODWRIGHT_CONFIG_DIR,
// else $XDG_CONFIG_HOME/modwright, else ~/.config/modwright (no trailing "/").
std::string ConfigFolder();

// One registry root kept as a text file in the regedit export format
// (<config folder>/HKEY_CURRENT_USER.reg and so on). The main program and the
// context-menu library share these files, so every change is made under an
// advisory lock (flock on "<file>.lock"): the file is read again under the lock,
// the change is applied to that fresh reading, and the result replaces the file
// atomically. Changes of the other process to other values are never lost.
//
// Reading never fails: a missing, empty, damaged or unreadable file reads as far
// as it is sound (possibly empty). Writing throws EModwright with the reason
// when the file cannot be written; the old file then stays as it was.
//
// One store object belongs to one thread at a time; separate objects (in one
// process or several) may work on the same file concurrently.
class TRegistryStore {
public:
    explicit TRegistryStore(TRegRoot root);              // the file in ConfigFolder()
    TRegistryStore(TRegRoot root, std::string fileName); // an explicit file

    TRegRoot Root() const { return root_; }
    const std::string &FileName() const { return fileName_; }

    // The current contents; read again whenever another writer replaced the file.
    // Inside BeginUpdate/EndUpdate it includes the changes not yet written.
    const TRegTree &Tree();

    // Applies one change and writes it (see above). Inside BeginUpdate/EndUpdate
    // the change is applied to the contents at once but written by EndUpdate.
    void Modify(const std::function<void(TRegTree &)> &change);

    // Gathers the changes between them into one locked write (nesting counts;
    // the outermost EndUpdate writes). EndUpdate throws EModwright when the write
    // fails; the gathered changes are then dropped and the contents are read from
    // the file again. CancelUpdate ends one level and drops every change gathered
    // so far, unwritten.
    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    bool Updating() const { return updateDepth_ > 0; }

private:
    void Reload();
    void WriteChanges(const std::vector<std::function<void(TRegTree &)>> &changes);

    TRegRoot root_;
    std::string fileName_;
    TRegTree tree_;
    TFileStamp stamp_;
    bool loaded_ = false;
    int updateDepth_ = 0;
    std::vector<std::function<void(TRegTree &)>> pending_;
};

// Gathers a block's registry changes into one write, like a transaction: Commit()
// writes them; leaving the block without Commit() (by an exception, say) drops
// them unwritten.
class TRegistryUpdate {
public:
    explicit TRegistryUpdate(TRegistryStore &store);
    ~TRegistryUpdate();
    TRegistryUpdate(const TRegistryUpdate &) = delete;
    TRegistryUpdate &operator=(const TRegistryUpdate &) = delete;
    // Writes the gathered changes now; throws EModwright on failure.
    void Commit();

private:
    TRegistryStore &store_;
    bool open_ = true;
};
