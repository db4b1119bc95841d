#include "controls/PlacementStore.h"

#include "platform/MemIniFile.h"

#include <QWidget>
#include <climits>
#include <gtest/gtest.h>

namespace {

const TWorkArea Screen{0, 0, 1023, 767};

TEST(PlacementClamp, KeepsWindowsOnTheWorkArea)
{
    // Right of the area: the left edge comes 30 pixels inside the right edge.
    EXPECT_EQ(ClampToWorkArea(QRect(2000, 100, 300, 200), Screen, false).topLeft(), QPoint(993, 100));
    // Far to the left: 30 pixels of the window stay on the area.
    const QRect left = ClampToWorkArea(QRect(-5000, 100, 300, 200), Screen, false);
    EXPECT_EQ(left.x() + left.width(), 30);
    // Above the top: raised to the top; below the bottom: 30 pixels above it.
    EXPECT_EQ(ClampToWorkArea(QRect(10, -50, 300, 200), Screen, false).y(), 0);
    EXPECT_EQ(ClampToWorkArea(QRect(10, 900, 300, 200), Screen, false).y(), 737);
    // A window that fits is left alone.
    EXPECT_EQ(ClampToWorkArea(QRect(10, 20, 300, 200), Screen, true), QRect(10, 20, 300, 200));
}

TEST(PlacementClamp, SizeIsCutOnlyWhenAsked)
{
    EXPECT_EQ(ClampToWorkArea(QRect(0, 0, 5000, 4000), Screen, true).size(), QSize(1024, 768));
    EXPECT_EQ(ClampToWorkArea(QRect(0, 0, 5000, 4000), Screen, false).size(), QSize(5000, 4000));
}

TEST(PlacementClamp, AbsurdValuesDoNotOverflow)
{
    const QRect huge = ClampToWorkArea(QPoint(INT_MAX - 10, INT_MAX - 10), QSize(100, 100), Screen, false);
    EXPECT_EQ(huge.topLeft(), QPoint(993, 737));
    const QRect tiny = ClampToWorkArea(QPoint(INT_MIN + 10, INT_MIN + 10), QSize(100, 100), Screen, false);
    EXPECT_EQ(tiny.topLeft(), QPoint(-70, 0));
    const QRect wide = ClampToWorkArea(QRect(0, 0, INT_MAX, INT_MAX), Screen, true);
    EXPECT_EQ(wide.size(), QSize(1024, 768));
}

TEST(PlacementClamp, CentringRoundsTowardZero)
{
    EXPECT_EQ(CentreOn(QRect(0, 0, 1024, 768), QSize(301, 201), Screen).topLeft(), QPoint(362, 284));
    // On an owner that is partly off screen the result is clamped.
    EXPECT_EQ(CentreOn(QRect(-900, 100, 200, 200), QSize(300, 100), Screen).topLeft(), QPoint(-270, 150));
}

class PlacementStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetApplicationMainWindow(&main); }
    void TearDown() override { SetApplicationMainWindow(nullptr); }

    TMemIniFile ini;
    QWidget main;
    TWorkArea area{0, 40, 1279, 799}; // a panel along the top
};

TEST_F(PlacementStoreTest, RoundTripIsRelativeToTheWorkArea)
{
    main.setGeometry(200, 100, 640, 480);
    TPlacementStore(ini, area).SavePlacement(&main, "Current", MainPlacement, "Main");
    EXPECT_EQ(ini.ReadInteger("Current", "MainTop", 0), 60);
    EXPECT_EQ(ini.ReadInteger("Current", "MainLeft", 0), 200);
    EXPECT_EQ(ini.ReadInteger("Current", "MainWidth", 0), 640);
    EXPECT_EQ(ini.ReadInteger("Current", "MainHeight", 0), 480);
    EXPECT_EQ(ini.ReadInteger("Current", "MainState", -1), wsNormal);

    QWidget other;
    other.resize(100, 100);
    SetApplicationMainWindow(&other);
    TPlacementStore(ini, area).RestorePlacement(&other, "Current", MainPlacement, "Main");
    EXPECT_EQ(other.geometry(), QRect(200, 100, 640, 480));
}

TEST_F(PlacementStoreTest, NothingStoredCentresOnTheWorkArea)
{
    main.resize(400, 300);
    TPlacementStore(ini, area).RestorePlacement(&main, "Current", MainPlacement, "Main");
    EXPECT_EQ(main.geometry(), QRect(440, 270, 400, 300));
}

TEST_F(PlacementStoreTest, WrongTypesAndAbsurdSizesGiveSaneWindows)
{
    ini.WriteString("Current", "MainTop", "up there");
    ini.WriteString("Current", "MainLeft", "12abc");
    ini.WriteInteger("Current", "MainWidth", -300);
    ini.WriteInteger("Current", "MainHeight", 0);
    ini.WriteString("Current", "MainState", "maximized");
    main.resize(400, 300);
    const TStartupShow show =
        TPlacementStore(ini, area).RestorePlacement(&main, "Current", MainPlacement, "Main");
    // Unreadable position: centred; unusable size: the current one.
    EXPECT_EQ(main.geometry(), QRect(440, 270, 400, 300));
    EXPECT_EQ(show.state, wsNormal);
}

TEST_F(PlacementStoreTest, HugeStoredSizeIsCutAndOffScreenPositionComesBack)
{
    ini.WriteInteger("Current", "MainTop", 5000);
    ini.WriteInteger("Current", "MainLeft", -9000);
    ini.WriteInteger("Current", "MainWidth", 100000);
    ini.WriteInteger("Current", "MainHeight", 90000);
    TPlacementStore(ini, area).RestorePlacement(&main, "Current", MainPlacement, "Main");
    EXPECT_EQ(main.size(), QSize(1280, 760));
    EXPECT_EQ(main.y(), 799 - 30);
    EXPECT_EQ(main.x() + main.width(), 30);
}

TEST_F(PlacementStoreTest, MainWindowStateGoesToTheStartupShowMode)
{
    ini.WriteInteger("Current", "MainState", wsMinimized);
    EXPECT_EQ(TPlacementStore(ini, area).RestorePlacement(&main, "Current", MainPlacement, "Main").state,
              wsMinimized);
    // Without the minimized flag the window starts normal.
    EXPECT_EQ(TPlacementStore(ini, area)
                  .RestorePlacement(&main, "Current", pfSize | pfPosition | pfMaximized, "Main")
                  .state,
              wsNormal);
    ini.WriteInteger("Current", "MainState", wsMaximized);
    EXPECT_EQ(TPlacementStore(ini, area).RestorePlacement(&main, "Current", MainPlacement, "Main").state,
              wsMaximized);
    // The main window itself is not changed: its show mode is.
    EXPECT_FALSE(main.windowState() & Qt::WindowMaximized);
}

TEST_F(PlacementStoreTest, OtherWindowsGetStateVisibilityAndStyleApplied)
{
    QWidget dialog;
    dialog.resize(200, 100);
    ini.WriteInteger("Viewer", "State", wsMaximized);
    ini.WriteBool("Viewer", "Visible", false);
    ini.WriteInteger("Viewer", "Style", fsStayOnTop);
    TPlacementStore(ini, area).RestorePlacement(&dialog, "Viewer", FullPlacement);
    EXPECT_TRUE(dialog.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);

    TMemIniFile saved;
    TPlacementStore(saved, area).SavePlacement(&dialog, "Viewer", FullPlacement);
    EXPECT_EQ(saved.ReadInteger("Viewer", "Style", -1), fsStayOnTop);
    EXPECT_EQ(saved.ReadInteger("Viewer", "State", -1), wsMaximized);
    EXPECT_FALSE(saved.ReadBool("Viewer", "Visible", true));
    EXPECT_EQ(saved.ReadString("Viewer", "Visible", ""), "0");
}

TEST_F(PlacementStoreTest, SavesOnlyTheSelectedValues)
{
    main.setGeometry(10, 50, 300, 200);
    TPlacementStore(ini, area).SavePlacement(&main, "Current", pfSize, "Main");
    EXPECT_TRUE(ini.ValueExists("Current", "MainWidth"));
    EXPECT_FALSE(ini.ValueExists("Current", "MainTop"));
    EXPECT_FALSE(ini.ValueExists("Current", "MainState"));
}

TEST(PlacementCentre, CentresOnAVisibleOwnerElseOnTheWorkArea)
{
    QWidget owner;
    owner.setGeometry(100, 100, 400, 400);
    QWidget dialog;
    dialog.resize(200, 100);
    CentreWindow(&dialog, &owner); // owner hidden: the work area
    const TWorkArea area = WorkArea();
    EXPECT_EQ(dialog.x(), area.left + area.width() / 2 - 100);
    EXPECT_EQ(dialog.y(), area.top + area.height() / 2 - 50);
    owner.show();
    owner.setGeometry(100, 100, 400, 400);
    CentreWindow(&dialog, &owner);
    EXPECT_EQ(dialog.geometry().topLeft(), QPoint(200, 250));
}

} // namespace
