// Merging our actions into Thunar's uca.xml: everything around them stays as it was.

#include "platform/ThunarActions.h"

#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

TThunarAction Ours(const std::string &kind, const std::string &name)
{
    TThunarAction action;
    action.uniqueId = std::string(ThunarActionIdPrefix) + kind;
    action.name = name;
    action.command = "'/usr/bin/modwright-shellmenu' '--' %f";
    action.patterns = "*.jpg;*.JPG";
    action.imageFiles = true;
    return action;
}

const std::string Theirs = "<action><name>Theirs</name><unique-id>1-1</unique-id><command>x %f</command>"
                           "<patterns>*</patterns><directories/></action>";

} // namespace

TEST(ThunarActions, OursAreReplacedInPlaceAndTheRestKept)
{
    const std::string text =
        "<?xml version=\"1.0\"?>\n<actions>\n" + Theirs + "\n" +
        "<action>\n\t<name>Old</name>\n\t<unique-id>modwright-edit-image</unique-id>\n</action>\n" +
        "<!-- a note with modwright-edit-drum in it -->\n" + Theirs + "\n</actions>\n";
    const std::string merged = MergeThunarActions(text, {Ours("image", "Edit with GIMP & co")});
    EXPECT_EQ(OurThunarActionIds(merged), std::vector<std::string>{"modwright-edit-image"});
    EXPECT_EQ(merged.find("<name>Old</name>"), std::string::npos);
    EXPECT_NE(merged.find("<name>Edit with GIMP &amp; co</name>"), std::string::npos) << merged;
    EXPECT_EQ(merged.rfind("<?xml version=\"1.0\"?>\n<actions>\n" + Theirs + "\n<action>\n", 0), 0u)
        << merged;
    EXPECT_NE(merged.find("</action>\n<!-- a note with modwright-edit-drum in it -->\n" + Theirs +
                          "\n</actions>\n"),
              std::string::npos)
        << merged;
    // Merging again changes nothing; removing gives the others back without ours.
    EXPECT_EQ(MergeThunarActions(merged, {Ours("image", "Edit with GIMP & co")}), merged);
    const std::string removed = MergeThunarActions(merged, {});
    EXPECT_TRUE(OurThunarActionIds(removed).empty());
    EXPECT_EQ(removed, "<?xml version=\"1.0\"?>\n<actions>\n" + Theirs + "\n" +
                           "<!-- a note with modwright-edit-drum in it -->\n" + Theirs + "\n</actions>\n");
}

TEST(ThunarActions, NewEmptyAndOneLineFiles)
{
    const std::string made = MergeThunarActions("", {Ours("image", "A"), Ours("drum", "B")});
    EXPECT_EQ(OurThunarActionIds(made),
              (std::vector<std::string>{"modwright-edit-image", "modwright-edit-drum"}));
    const std::string fromEmpty = MergeThunarActions("<actions/>\n", {Ours("drum", "B")});
    EXPECT_EQ(fromEmpty.rfind("<actions>\n<action>", 0), 0u) << fromEmpty;
    EXPECT_EQ(OurThunarActionIds(fromEmpty), std::vector<std::string>{"modwright-edit-drum"});
    EXPECT_EQ(MergeThunarActions("<actions/>\n", {}), "<actions/>\n");
    // Thunar writes its file on one line.
    const std::string oneLine =
        "<?xml encoding=\"UTF-8\" version=\"1.0\"?>\n<actions>" + Theirs + "</actions>\n";
    const std::string merged = MergeThunarActions(oneLine, {Ours("image", "A")});
    EXPECT_NE(merged.find("<actions>" + Theirs + "\n<action>"), std::string::npos) << merged;
    EXPECT_EQ(MergeThunarActions(merged, {}),
              "<?xml encoding=\"UTF-8\" version=\"1.0\"?>\n<actions>" + Theirs + "\n</actions>\n");
}

TEST(ThunarActions, WhatIsNotAnActionsFileIsRefused)
{
    for (const std::string &bad : {std::string("<actions><action></actions>"), std::string("<menu></menu>"),
                                   std::string("not xml"), std::string("  \n"), "<actions>" + Theirs})
        EXPECT_THROW(MergeThunarActions(bad, {Ours("image", "A")}), EModwright) << bad;
}
