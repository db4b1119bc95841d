#pragma once

#include <string>
#include <vector>

// Thunar's custom actions file (uca.xml: <actions> holding <action> elements),
// into which the "Edit with" entries are merged. Every action but ours, and
// every byte around them, is kept as it was.

struct TThunarAction {
    std::string uniqueId; // ours start with ThunarActionIdPrefix
    std::string name;
    std::string description;
    std::string command;  // sh -c command; Thunar replaces %f with the quoted path
    std::string patterns; // file name patterns, ";"-separated
    bool imageFiles = false;
    bool audioFiles = false;
};

constexpr const char *ThunarActionIdPrefix = "modwright-edit-";

// The text with our actions replaced by the given ones (added before
// </actions>; none removes ours). An empty text makes a new file. Throws
// EModwright with the reason when the text is not a well-formed actions file.
std::string MergeThunarActions(const std::string &text, const std::vector<TThunarAction> &ours);

// The unique ids of our actions in the text; throws EModwright like the merge.
std::vector<std::string> OurThunarActionIds(const std::string &text);
