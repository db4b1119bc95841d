#pragma once

#include <string>
#include <vector>

// What the menu bridge checks before it asks the handlers: the file managers
// that cannot filter their entries hand it any selection, and the user is told
// why nothing happens. Plain C++.

// A file argument as a file manager passes it: a path (a relative one is made
// absolute against the working folder, where the managers start scripts) or a
// "file:" URI. Returns false for a URI of another scheme: a remote file, which
// the manager could only hand over as a temporary copy.
bool LocalPathOf(const std::string &argument, std::string &path);

// Why the bridge runs nothing for the selection, in words for the user; empty
// when the handlers may be asked. kind is the entry's kind ("image", "drum") or
// empty for an entry that serves both.
std::string SelectionRefusal(const std::vector<std::string> &arguments, const std::string &kind);
