// The main window's Glance command: it opens one preview, the preview follows the
// assignment set, and an open preview is reopened at the next start.

#include "FormFixture.h"
#include "preview/GlanceForm.h"

#include <QAction>

namespace {

class GlanceCommandTest : public FormFixture {};

TEST_F(GlanceCommandTest, TheCommandOpensOnePreviewThatFollowsTheSet)
{
    TModwrightForm &f = start();
    ASSERT_TRUE(f.Glance1->isEnabled());
    ASSERT_TRUE(f.BGlance->isEnabled());
    f.Glance1->trigger();
    ASSERT_FALSE(f.Glance.isNull());
    TGlanceForm *first = f.Glance;
    EXPECT_TRUE(WaitFor([&] { return first->ElementsCreated(); }));
    f.BGlance->trigger();
    EXPECT_EQ(f.Glance.data(), first);

    // A new assignment reaches the visible preview at once.
    f.DetachAll1Click();
    f.SetActiveTab(0);
    TAssignmentData *transport = FindRow(f.LVBMPRes, "Transport panel");
    ASSERT_NE(transport, nullptr);
    f.Set().DetachAll();
    EXPECT_TRUE(first->SplashMode());
    f.Set().AssignFile(*transport, MakeBmp(dir, "bar.bmp", 592, 50));
    EXPECT_FALSE(first->SplashMode());
    f.Set().DetachAll();
    EXPECT_TRUE(first->SplashMode());

    // Closed, it is gone; the command makes a new one.
    first->close();
    EXPECT_TRUE(WaitFor([&] { return f.Glance.isNull(); }));
    f.Glance1->trigger();
    ASSERT_FALSE(f.Glance.isNull());
    EXPECT_TRUE(f.Glance->isVisible());
}

TEST_F(GlanceCommandTest, AnOpenPreviewIsReopenedAtTheNextStart)
{
    {
        TModwrightForm &f = start();
        EXPECT_TRUE(f.Glance.isNull()); // not open at the first start
        f.Glance1->trigger();
        boxes.defaultAnswer = maNo;
        f.close();
        EXPECT_TRUE(config().ReadBool(TMainSettings::Section, "ShowGlance", false));
        form.reset();
    }
    TModwrightForm &f = start();
    ASSERT_FALSE(f.Glance.isNull());
    EXPECT_TRUE(f.Glance->isVisible());
    f.Glance->close();
    EXPECT_TRUE(WaitFor([&] { return f.Glance.isNull(); }));
    f.close();
    EXPECT_FALSE(config().ReadBool(TMainSettings::Section, "ShowGlance", true));
}

} // namespace
