// The Glance window: splash and mod mode, partial and full refreshes, files that are
// missing, broken or of the wrong size, and what it remembers.

#include "GlanceFixture.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace {

TEST_F(GlanceTest, WithoutAssignedImagesItShowsTheSplash)
{
    open();
    EXPECT_EQ(form->windowTitle(), "Glance - Modwright for ReBirth 2");
    EXPECT_TRUE(form->SplashMode());
    EXPECT_EQ(form->Canvas()->size(), QSize(345, 176));
    EXPECT_TRUE(form->LText->isVisible());
    EXPECT_EQ(form->LText->text(),
              "Make assignments in Modwright's main window to see a preview of ReBirth.");
    EXPECT_TRUE(form->LVersion->text().contains(" build "));
    EXPECT_EQ(form->Controls().size(), 286u);
    for (TImgControlBase *control : form->Controls())
        ASSERT_FALSE(control->isVisible());
    form->Options1Click();
    for (QAction *a :
         {form->Refresh1, form->Randomizepositions1, form->Maximumpositions1, form->ResetPositions1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(form->ShowDynamic->isChecked());
    EXPECT_EQ(form->StatusText(), "");

    // Assigned files that do not exist change nothing.
    ImageEntry(0).path = dir.file("gone.jpg");
    ImageEntry(30).path = dir.file("gone too.bmp");
    form->RefreshImages(false);
    EXPECT_TRUE(form->SplashMode());
}

TEST_F(GlanceTest, TheFirstExistingImageSwitchesToModModeAndTheLastOneBack)
{
    open();
    const QString path = assign("12057.jpg", Plain(592, 50, Qt::red));
    form->RefreshImages(false);
    EXPECT_FALSE(form->SplashMode());
    EXPECT_EQ(form->Canvas()->size(), QSize(624, 510));
    // The window is exactly its contents: menu, client area and status bar.
    EXPECT_EQ(form->width(), 624);
    EXPECT_GT(form->height(), 510);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->StatusText(), "Update: " + path);
    EXPECT_FALSE(form->LText->isVisible());
    for (TImgControlBase *control : form->Controls())
        ASSERT_TRUE(control->isVisible());
    form->Options1Click();
    EXPECT_TRUE(form->Maximumpositions1->isEnabled());

    // An unchanged file is not loaded again.
    form->RefreshImages(false);
    EXPECT_EQ(form->StatusText(), "");

    ImageEntry(indexOf("12057.jpg")).path.clear();
    form->RefreshImages(false);
    EXPECT_TRUE(form->SplashMode());
    EXPECT_EQ(form->Canvas()->size(), QSize(345, 176));
    EXPECT_EQ(form->width(), 345);
    EXPECT_LT(form->height(), 300);
    EXPECT_EQ(form->StatusText(), "Deleted: " + path);
    EXPECT_TRUE(form->LText->isVisible());
    for (TImgControlBase *control : form->Controls())
        ASSERT_FALSE(control->isVisible());
}

TEST_F(GlanceTest, ShowDynamicHidesAndShowsTheControlsInModModeOnly)
{
    open();
    form->ShowDynamicClick();
    EXPECT_FALSE(form->ShowDynamic->isChecked());
    assign("12062.jpg", Plain(16, 510, Qt::darkYellow));
    form->RefreshImages(false);
    EXPECT_FALSE(form->Controls().front()->isVisible());
    form->ShowDynamicClick();
    EXPECT_TRUE(form->Controls().back()->isVisible());
    EXPECT_EQ(form->StatusText(), "");
}

TEST_F(GlanceTest, BrokenAndWrongFilesLeaveEmptyPicturesAndNeverCrash)
{
    open();
    const QString knob = assign("12507.jpg", Strip(54, 30, 30));
    form->RefreshImages(false);
    const TFrameImage *knobImage = static_cast<TFrameImage *>(form->Image(indexOf("12507.jpg")));
    EXPECT_FALSE(knobImage->DrawsEmpty());

    // The loaded strip is replaced by a broken file: the old picture must not stay.
    {
        QFile f(knob);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM broken");
    }
    ImageEntry(indexOf("12507.jpg")).fileAge = 0; // as if the file had changed
    form->RefreshImages(false);
    EXPECT_EQ(form->StatusText(), "Cleared: " + knob);
    EXPECT_TRUE(knobImage->DrawsEmpty());
    EXPECT_FALSE(form->SplashMode()); // the file exists
    TImgControlBase *one = controlsOf("12507.jpg").front();
    EXPECT_EQ(one->size(), QSize(30, 30));

    // A JPEG name over bytes that are no JPEG, an unsupported GIF, a strip far too short
    // for its frames, a truncated JFIF stream and a panel larger than its place.
    const QString fake = dir.createFile("fake.jpg", "not a picture at all");
    ImageEntry(indexOf("12015.jpg")).path = fake;
    ImageEntry(indexOf("12016.jpg")).path = dir.createFile("anim.gif", "GIF89a\x01\x00\x01\x00");
    assign("12521.jpg", Plain(20, 13, Qt::green));
    ImageEntry(indexOf("12019.jpg")).path =
        dir.createFile("cut.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01", 13));
    assign("12500.jpg", Plain(2000, 2000, Qt::blue));
    form->RefreshImages(true);
    EXPECT_EQ(form->StatusText(), "");
    for (const char *name : {"12015.jpg", "12016.jpg", "12521.jpg", "12019.jpg"})
        EXPECT_TRUE(form->Image(indexOf(name))->DrawsEmpty()) << name;
    // The crossed-out frames keep their catalogue size.
    EXPECT_EQ(controlsOf("12015.jpg").front()->size(), QSize(9, 16));
    EXPECT_EQ(controlsOf("12016.jpg").front()->size(), QSize(26, 19));

    // The oversized 303 panel is drawn whole from its places (90, 50) and (90, 165), so
    // that it shows it is too big; the panels drawn after it cover it again.
    const QImage canvas = canvasShot();
    EXPECT_EQ(canvas.pixel(95, 55), QColor(Qt::blue).rgb());
    EXPECT_EQ(canvas.pixel(615, 300), QColor(Qt::blue).rgb()); // over the right wood, drawn before it
    EXPECT_NE(canvas.pixel(470, 55), QColor(Qt::blue).rgb());  // mixer panel, drawn after it
    EXPECT_NE(canvas.pixel(95, 290), QColor(Qt::blue).rgb());  // the 808 panel below, drawn after it
}

TEST_F(GlanceTest, MaximumRandomizeAndResetMoveEveryControl)
{
    open();
    assign("12507.jpg", Strip(54, 30, 30));
    form->RefreshImages(false);
    const auto moving = [this] {
        int count = 0;
        for (TImgControlBase *control : form->Controls())
            count += control->Max() > control->Min();
        return count;
    };
    ASSERT_GT(moving(), 100);

    form->Maximumpositions1->trigger();
    for (TImgControlBase *control : form->Controls())
        ASSERT_EQ(control->Position(), control->Max()) << control->objectName().toStdString();
    // A random frame below the last one: every control leaves the maximum.
    form->Randomizepositions1->trigger();
    for (TImgControlBase *control : form->Controls()) {
        ASSERT_GE(control->Position(), control->Min());
        if (control->Max() > control->Min()) {
            ASSERT_LT(control->Position(), control->Max()) << control->objectName().toStdString();
        }
    }
    form->ResetPositions1->trigger();
    for (TImgControlBase *control : form->Controls())
        ASSERT_EQ(control->Position(), control->Min()) << control->objectName().toStdString();
}

TEST_F(GlanceTest, ANewFileWithTheOldTimeStampIsStillLoaded)
{
    open();
    const QString first = assign("12062.jpg", Plain(16, 510, Qt::red), "first.bmp");
    const QString second = assign("12062.jpg", Plain(16, 510, Qt::green), "second.bmp");
    QFile(second).setFileTime(QFileInfo(first).lastModified(), QFileDevice::FileModificationTime);
    ImageEntry(indexOf("12062.jpg")).path = first;
    form->RefreshImages(false);
    EXPECT_EQ(canvasShot().pixel(4, 300), QColor(Qt::red).rgb());
    ImageEntry(indexOf("12062.jpg")).path = second;
    form->RefreshImages(false);
    EXPECT_EQ(form->StatusText(), "Update: " + second);
    EXPECT_EQ(canvasShot().pixel(4, 300), QColor(Qt::green).rgb());
}

TEST_F(GlanceTest, PositionAndActiveControlsAreRememberedAndTheWindowGoesWhenClosed)
{
    open();
    form->move(123, 145);
    form->ShowDynamicClick();
    form->Close1Click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_FALSE(config.ReadBool("Glance", "Active controls", true));
    EXPECT_TRUE(config.ValueExists("Glance", "Top"));
    EXPECT_TRUE(config.ValueExists("Glance", "Left"));
    // The pictures hung on the catalogue went with the window.
    for (int i = 0; i < ImageCount; ++i) {
        ASSERT_EQ(ImageEntry(i).picture, nullptr);
        ASSERT_EQ(ImageEntry(i).frameImage, nullptr);
    }

    assign("12062.jpg", Plain(16, 510, Qt::red));
    open();
    EXPECT_FALSE(form->ShowDynamic->isChecked());
    EXPECT_FALSE(form->SplashMode());
    EXPECT_FALSE(form->Controls().front()->isVisible());
    EXPECT_NE(ImageEntry(indexOf("12507.jpg")).frameImage, nullptr);
}

} // namespace
