#include "workbench/ImageViewerLink.h"

#include "FormFixture.h"
#include "ListEvents.h"
#include "controls/SystemListView.h"
#include "preview/ImgViewForm.h"

#include <QAction>
#include <QDir>
#include <QTreeView>

namespace {

class ImageViewerLinkTest : public FormFixture {
protected:
    void browse(const QString &folder)
    {
        form->SetActiveTab(0);
        form->Browser(0)->SetDirectory(folder);
        ASSERT_TRUE(WaitFor([&] { return QDir(form->Browser(0)->RealDirectory()) == QDir(folder); }));
        ASSERT_TRUE(WaitFor([&] { return form->Browser(0)->FindRow("c.bmp") >= 0; }));
    }
    void clickFile(const QString &caption)
    {
        TSystemListView *browser = form->Browser(0);
        const int row = browser->FindRow(caption);
        ASSERT_GE(row, 0) << caption.toStdString();
        emit browser->ReportView()->clicked(browser->ReportView()->model()->index(row, 0));
    }
};

TEST_F(ImageViewerLinkTest, MadeHiddenAndShownByTheCommand)
{
    TModwrightForm &f = start();
    TImgViewForm *viewer = ImageViewer(f);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), "Modwright for ReBirth 2 Image Viewer");
    EXPECT_TRUE(f.ImageViewer1->isEnabled());
    EXPECT_TRUE(f.BImageViewer->isEnabled());
    viewer->hide();
    f.ImageViewer1->trigger();
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(ImageViewerLinkTest, ClickedFilesGoToTheViewerAndNextStepsThroughTheBrowser)
{
    const QString folder = dir.createDir("pics");
    MakeBmp(dir, "pics/a.bmp", 40, 20);
    dir.createDir("pics/b-folder");
    MakeBmp(dir, "pics/c.bmp", 30, 10);
    TModwrightForm &f = start();
    TImgViewForm *viewer = ImageViewer(f);
    viewer->hide();
    browse(folder);
    f.Browser(0)->SortByColumn(0);

    // Neither visible nor asked to become so: nothing is shown.
    f.Settings.FileClickShowImageViewer = false;
    clickFile("a.bmp");
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(viewer->Picture().isNull());

    f.Settings.FileClickShowImageViewer = true;
    clickFile("a.bmp");
    ASSERT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->StatusText(), "a.bmp : 40x20");

    // Next skips the folder, selects the row it shows, and stops at the last image.
    viewer->BNext->trigger();
    EXPECT_EQ(viewer->StatusText(), "c.bmp : 30x10");
    const int c = f.Browser(0)->FindRow("c.bmp");
    EXPECT_EQ(f.Browser(0)->SelectedRows(), std::vector<int>{c});
    viewer->BNext->trigger();
    EXPECT_EQ(viewer->StatusText(), "c.bmp : 30x10");
    viewer->Bprevious->trigger();
    EXPECT_EQ(viewer->StatusText(), "a.bmp : 40x20");

    // With FileClickShow off the click shows nothing.
    f.Settings.FileClickShow[0] = false;
    clickFile("c.bmp");
    EXPECT_EQ(viewer->StatusText(), "a.bmp : 40x20");
}

TEST_F(ImageViewerLinkTest, DoubleClickOnAFileFollowsTheSettings)
{
    const QString folder = dir.createDir("pics");
    MakeBmp(dir, "pics/c.bmp", 30, 10);
    TModwrightForm &f = start();
    TImgViewForm *viewer = ImageViewer(f);
    viewer->hide();
    browse(folder);
    TSystemListView *browser = f.Browser(0);
    const int row = browser->FindRow("c.bmp");
    browser->SelectRow(row);
    const QModelIndex index = browser->ReportView()->model()->index(row, 0);
    // The defaults: no viewer, no show, no editor and no platform program.
    f.Settings.FileRunDef[0] = false;
    emit browser->ReportView()->doubleClicked(index);
    EXPECT_FALSE(viewer->isVisible());

    f.Settings.FileDblShowImageViewer = true;
    f.Settings.FileDblShow[0] = true;
    emit browser->ReportView()->doubleClicked(index);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->StatusText(), "c.bmp : 30x10");
}

TEST_F(ImageViewerLinkTest, AssignedComponentImagesAreShownAndUnassignedSkipped)
{
    TModwrightForm &f = start();
    TImgViewForm *viewer = ImageViewer(f);
    viewer->show();
    TComponentList *list = f.LVBMPRes;
    list->SortList(-1);
    TAssignmentData *first = list->RowAt(0);
    TAssignmentData *third = list->RowAt(2);
    f.Set().AssignFile(*first, MakeBmp(dir, "one.bmp", 12, 34));
    f.Set().AssignFile(*third, MakeBmp(dir, "three.bmp", 56, 78));
    list_events::ClickRow(list, first);
    EXPECT_EQ(viewer->StatusText(), "one.bmp : 12x34");
    viewer->BNext->trigger(); // row 1 has no file
    EXPECT_EQ(viewer->StatusText(), "three.bmp : 56x78");
    EXPECT_EQ(list->SelectedRow(), third);

    // An assigned file broken since: the reason, and the viewer stays usable.
    TAssignmentData *second = list->RowAt(1);
    const QString spoilt = MakeBmp(dir, "spoilt.bmp", 8, 8);
    f.Set().AssignFile(*second, spoilt);
    dir.createFile("spoilt.bmp", "no longer a bitmap");
    list_events::ClickRow(list, second);
    EXPECT_TRUE(viewer->Picture().isNull());
    EXPECT_TRUE(viewer->StatusText().contains("spoilt.bmp")) << viewer->StatusText().toStdString();
    viewer->BNext->trigger();
    EXPECT_EQ(viewer->StatusText(), "three.bmp : 56x78");
}

TEST_F(ImageViewerLinkTest, ModesAndPlacementSurviveARestart)
{
    {
        TModwrightForm &f = start();
        TImgViewForm *viewer = ImageViewer(f);
        viewer->show();
        viewer->BStretchClick();
        f.close();
    }
    form.reset();
    DestroyCatalogue();
    EXPECT_TRUE(config().ReadBool("ImageViewer", "Stretch", false));
    EXPECT_TRUE(config().ReadBool("ImageViewer", "Visible", false));
    TModwrightForm &again = start();
    EXPECT_TRUE(ImageViewer(again)->StretchMode());
    EXPECT_TRUE(ImageViewer(again)->isVisible());
}

} // namespace
