#include "FormFixture.h"
#include "workbench/ComponentRows.h"
#include "workbench/DesignScale.h"
#include "workbench/WorkbenchIcons.h"

#include <QHeaderView>

namespace {

// The two lists on their own, over a fresh catalogue.
class ComponentListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateCatalogue();
        images.Fill();
        drums.Fill();
    }
    void TearDown() override { DestroyCatalogue(); }

    QStringList captions(TComponentList &list) const
    {
        QStringList c;
        for (int i = 0; i < list.ColumnCount(); ++i)
            c << list.ColumnCaption(i);
        return c;
    }
    QStringList order(TComponentList &list, int count) const
    {
        QStringList names;
        for (int i = 0; i < count && i < list.Model().rowCount(); ++i)
            names << list.RowAt(i)->displayName();
        return names;
    }
    void click(TComponentList &list, int column) { emit list.header()->sectionClicked(column); }

    TComponentList images{true};
    TComponentList drums{false};
};

TEST_F(ComponentListTest, RowsAndColumnsInCatalogueOrder)
{
    EXPECT_EQ(images.Model().rowCount(), 59);
    EXPECT_EQ(drums.Model().rowCount(), 46);
    EXPECT_EQ(captions(images), (QStringList{"Name", "Dimension", "Colors", "Mod name"}));
    EXPECT_EQ(captions(drums), (QStringList{"Name", "Type", "Mod name"}));
    EXPECT_EQ(images.ColumnWidth(0), Design(100));
    EXPECT_EQ(images.ColumnWidth(1), Design(70));
    EXPECT_EQ(images.ColumnWidth(2), Design(70));
    EXPECT_EQ(drums.ColumnWidth(1), Design(30));
    EXPECT_GE(DesignScale(), 1.0);
    // Rows come in catalogue order until sorted; every row owns its data.
    EXPECT_EQ(images.RowAt(0)->index, 0);
    EXPECT_EQ(images.RowAt(15)->displayName(), "LED digits");
    EXPECT_TRUE(images.RowAt(15)->isImage);
    EXPECT_FALSE(drums.RowAt(1)->isImage);
}

TEST_F(ComponentListTest, CellsOfUnassignedAndAssignedRows)
{
    TAssignmentData *led = images.RowAt(15);
    EXPECT_EQ(Cell(&images, led, 0), "LED digits");
    EXPECT_EQ(Cell(&images, led, 1), "");
    EXPECT_EQ(Cell(&images, led, 2), "");
    EXPECT_EQ(Cell(&images, led, 3), "12015");
    TAssignmentData *bass = drums.RowAt(1);
    EXPECT_EQ(Cell(&drums, bass, 0), "808 Bassdrum");
    EXPECT_EQ(Cell(&drums, bass, 1), "BD");
    EXPECT_EQ(Cell(&drums, bass, 2), "TR808BD");

    led->setAssignedPath("/somewhere/led.bmp");
    led->info = {109, 16, 24, 0};
    images.RowChanged(*led);
    EXPECT_EQ(Cell(&images, led, 1), "109x16");
    EXPECT_EQ(Cell(&images, led, 2), "24bit");
    EXPECT_EQ(ComponentRows::StatusText(*led), "12015.jpg assigned to /somewhere/led.bmp");
    EXPECT_EQ(ComponentRows::StatusText(*images.RowAt(16)), "12016.jpg");
}

TEST_F(ComponentListTest, IconsFollowTheAssignment)
{
    const auto iconImage = [](const QVariant &v) { return v.value<QIcon>().pixmap(16, 16).toImage(); };
    const auto stripImage = [](int i) { return WorkbenchIcons::ListImage(i).pixmap(16, 16).toImage(); };
    TComponentListModel &m = images.Model();
    EXPECT_EQ(iconImage(m.data(m.index(0, 0), Qt::DecorationRole)), stripImage(liImageUnassigned));
    images.RowAt(0)->setAssignedPath("/x.bmp");
    EXPECT_EQ(iconImage(m.data(m.index(0, 0), Qt::DecorationRole)), stripImage(liImageAssigned));
    EXPECT_FALSE(m.data(m.index(0, 1), Qt::DecorationRole).isValid());
    TComponentListModel &d = drums.Model();
    EXPECT_EQ(iconImage(d.data(d.index(3, 0), Qt::DecorationRole)), stripImage(liDrumUnassigned));
    drums.RowAt(3)->setAssignedPath("/x.wav");
    EXPECT_EQ(iconImage(d.data(d.index(3, 0), Qt::DecorationRole)), stripImage(liDrumAssigned));
    // The four pictures differ from one another and exist at 2x too.
    EXPECT_NE(stripImage(liImageAssigned), stripImage(liImageUnassigned));
    EXPECT_NE(stripImage(liDrumAssigned), stripImage(liDrumUnassigned));
    EXPECT_EQ(WorkbenchIcons::ListImage(liDrumAssigned).pixmap(QSize(16, 16), 2.0).width(), 32);
    EXPECT_TRUE(WorkbenchIcons::ListImage(3).isNull());
}

TEST_F(ComponentListTest, NameTwiceSortsDescendingThenModNameAscending)
{
    images.SortList(-1);
    EXPECT_EQ(images.ColumnCaption(0), "Name+");
    click(images, 0);
    EXPECT_EQ(images.ColumnCaption(0), "Name-");
    EXPECT_TRUE(images.SortReverse());
    const QStringList descending = order(images, 59);
    QStringList sorted = descending;
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) { return a > b; });
    EXPECT_EQ(descending, sorted);

    click(images, 3);
    EXPECT_EQ(captions(images), (QStringList{"Name", "Dimension", "Colors", "Mod name+"}));
    EXPECT_EQ(images.RowAt(0)->modFileName(), "12015.jpg"); // the smallest packer name
    EXPECT_FALSE(images.SortReverse());
}

TEST_F(ComponentListTest, TiesOnColorsFallBackToNamesAndReverseWholly)
{
    // Two images of the same depth and one deeper.
    images.RowAt(15)->setAssignedPath("/a.bmp");
    images.RowAt(15)->info = {109, 16, 8, 0};
    images.RowAt(0)->setAssignedPath("/b.bmp");
    images.RowAt(0)->info = {592, 50, 24, 0};
    click(images, 2);
    EXPECT_EQ(images.ColumnCaption(2), "Colors+");
    // Unassigned rows (depth 0) first, in name order; then 8 bit; then 24 bit.
    EXPECT_EQ(images.RowAt(57)->displayName(), "LED digits");
    EXPECT_EQ(images.RowAt(58)->displayName(), "Transport panel");
    const QStringList unassigned = order(images, 57);
    QStringList byName = unassigned;
    std::sort(byName.begin(), byName.end());
    EXPECT_EQ(unassigned, byName);

    click(images, 2);
    EXPECT_EQ(images.ColumnCaption(2), "Colors-");
    EXPECT_EQ(images.RowAt(0)->displayName(), "Transport panel");
    EXPECT_EQ(images.RowAt(1)->displayName(), "LED digits");
    QStringList reversedTies = order(images, 59).mid(2);
    std::reverse(reversedTies.begin(), reversedTies.end());
    EXPECT_EQ(reversedTies, byName);
}

TEST_F(ComponentListTest, ImageCaptionsCompareExactly)
{
    // Letter case counts: upper case before lower case, shorter first.
    EXPECT_LT(ComponentRows::CompareExact("Zebra", "apple"), 0);
    EXPECT_LT(ComponentRows::CompareExact("LED", "LED digits"), 0);
    EXPECT_EQ(ComponentRows::CompareExact("x", "x"), 0);
    // Dimension sorts as text: "109x16" before "23x9".
    TAssignmentData a(true, 15), b(true, 18);
    a.setAssignedPath("/a");
    b.setAssignedPath("/b");
    a.info = {109, 16, 24, 0};
    b.info = {23, 9, 24, 0};
    EXPECT_LT(ComponentRows::CompareImages(a, b, 1, false), 0);
    EXPECT_GT(ComponentRows::CompareImages(a, b, 1, true), 0);
    // A column past the last sub-item compares the captions.
    EXPECT_EQ(ComponentRows::CompareImages(a, b, 9, false),
              ComponentRows::CompareExact(a.displayName(), b.displayName()));
}

TEST_F(ComponentListTest, DrumCaptionsIgnoreTheCaseOfAsciiLettersOnly)
{
    EXPECT_EQ(ComponentRows::CompareAsciiNoCase("808 bassdrum", "808 BASSDRUM"), 0);
    // Letters fold to upper case, so "_" (0x5F) sorts after "Z" but before "a".
    EXPECT_GT(ComponentRows::CompareAsciiNoCase("_x", "zz"), 0);
    EXPECT_NE(ComponentRows::CompareAsciiNoCase(QString::fromUtf8("é"), QString::fromUtf8("É")), 0);
    drums.SortList(-1);
    EXPECT_EQ(drums.ColumnCaption(0), "Name+");
    for (int i = 1; i < 46; ++i)
        EXPECT_LE(ComponentRows::CompareAsciiNoCase(drums.RowAt(i - 1)->displayName(),
                                                    drums.RowAt(i)->displayName()),
                  0);
}

TEST_F(ComponentListTest, MarkersAreRemovedFromEveryColumnWhenThePreviousIsUnknown)
{
    images.Model().setCaption(1, "Dimension+");
    images.Model().setCaption(2, "Colors-");
    images.SetSortState(3, true);
    images.SortList(-1);
    EXPECT_EQ(captions(images), (QStringList{"Name", "Dimension", "Colors", "Mod name-"}));
    EXPECT_FALSE(ComponentRows::HasSortMarker("+"));
    EXPECT_EQ(ComponentRows::WithSortMarker("Type-", false), "Type+");
}

TEST_F(ComponentListTest, SelectionFollowsItsRowWhenSorted)
{
    TAssignmentData *led = images.RowAt(15);
    images.selectionModel()->select(images.Model().index(15, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    click(images, 0);
    click(images, 0);
    ASSERT_EQ(images.SelectedRows().size(), 1u);
    EXPECT_EQ(images.SelectedRows()[0], led);
}

TEST_F(ComponentListTest, DrumFormatColumnsComeFromTheRowsData)
{
    TAssignmentData *bass = drums.RowAt(1);
    bass->setAssignedPath("/bd.wav");
    bass->info = {12345, 44100, 16, 1}; // frames, rate, bits, channels
    drums.SetColumnWidth(2, 90);        // "Mod name"
    drums.SetShowDrumFormat(true);
    EXPECT_EQ(captions(drums),
              (QStringList{"Name+", "Type", "Resolution", "Frequency", "Channels", "Samples", "Mod name"}));
    EXPECT_EQ(drums.ColumnWidth(2), Design(50));
    EXPECT_EQ(drums.ColumnWidth(5), Design(70));
    EXPECT_EQ(drums.ColumnWidth(6), 90); // the width the third column had
    EXPECT_EQ(Cell(&drums, bass, 2), "16");
    EXPECT_EQ(Cell(&drums, bass, 3), "44100");
    EXPECT_EQ(Cell(&drums, bass, 4), "1");
    EXPECT_EQ(Cell(&drums, bass, 5), "12345");
    EXPECT_EQ(Cell(&drums, bass, 6), "TR808BD");
    EXPECT_EQ(Cell(&drums, FindRow(&drums, "808 Cowbell"), 3), "");

    drums.SetShowDrumFormat(false);
    EXPECT_EQ(captions(drums), (QStringList{"Name+", "Type", "Mod name"}));
    EXPECT_EQ(Cell(&drums, bass, 2), "TR808BD");
    drums.SetShowDrumFormat(true);
    EXPECT_EQ(Cell(&drums, bass, 3), "44100");
}

TEST_F(ComponentListTest, FormatColumnsSortNumericallyAndTheMarkerSurvivesToggling)
{
    drums.SetShowDrumFormat(true);
    FindRow(&drums, "808 Bassdrum")->setAssignedPath("/a.wav");
    FindRow(&drums, "808 Bassdrum")->info = {900, 44100, 16, 1};
    FindRow(&drums, "808 Cowbell")->setAssignedPath("/b.wav");
    FindRow(&drums, "808 Cowbell")->info = {10000, 44100, 16, 1};
    click(drums, 5); // Samples: numerically, so 900 before 10000
    const int small = drums.Model().rowOf(FindRow(&drums, "808 Bassdrum"));
    const int large = drums.Model().rowOf(FindRow(&drums, "808 Cowbell"));
    EXPECT_LT(small, large);
    EXPECT_EQ(large, 45);
    // The format column goes away: the names take over.
    drums.SetShowDrumFormat(false);
    EXPECT_EQ(drums.SortColumn(), 0);
    EXPECT_EQ(drums.ColumnCaption(0), "Name+");
    // "Mod name" keeps its marker when it moves.
    click(drums, 2);
    drums.SetShowDrumFormat(true);
    EXPECT_EQ(drums.SortColumn(), 6);
    EXPECT_EQ(drums.ColumnCaption(6), "Mod name+");
    drums.SetShowDrumFormat(false);
    EXPECT_EQ(drums.ColumnCaption(2), "Mod name+");
}

} // namespace
