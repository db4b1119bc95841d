#include "preview/ImgViewForm.h"

#include "controls/PlacementStore.h"
#include "formats/BmpFile.h"
#include "platform/MemIniFile.h"
#include "preview/ImgViewLayout.h"
#include "support/TestDir.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------- geometry

TEST(ImgViewLayout, SmallImageIsCentredInTheArea)
{
    // Client 600 x 300 with a 30-pixel toolbar and a 20-pixel status bar: area 600 x 250.
    EXPECT_EQ(CentredImagePosition(QSize(600, 300), 30, 20, QSize(100, 50), 16, 16), QPoint(250, 100));
    // Too wide: left at 0 and the horizontal bar's height comes off the height.
    EXPECT_EQ(CentredImagePosition(QSize(600, 300), 30, 20, QSize(800, 50), 16, 16), QPoint(0, 92));
    // Too high: top at 0, the vertical bar's width comes off the width.
    EXPECT_EQ(CentredImagePosition(QSize(600, 300), 30, 20, QSize(100, 400), 16, 16), QPoint(242, 0));
}

TEST(ImgViewLayout, StretchKeepsProportions)
{
    // 1000 x 500 into 400 wide with room enough: 400 x 200, centred below the toolbar.
    const QRect wide = StretchedImageRect(QSize(400, 500), 30, 20, QSize(1000, 500));
    EXPECT_EQ(wide.size(), QSize(400, 200));
    EXPECT_EQ(wide.topLeft(), QPoint(0, 30 + 450 / 2 - 100));
    // The height limits: area 400 x 100 gives 200 x 100.
    const QRect low = StretchedImageRect(QSize(400, 150), 30, 20, QSize(1000, 500));
    EXPECT_EQ(low, QRect(100, 30, 200, 100));
    // Never enlarged.
    EXPECT_EQ(StretchedImageRect(QSize(400, 500), 30, 20, QSize(40, 20)).size(), QSize(40, 20));
    EXPECT_TRUE(StretchedImageRect(QSize(400, 500), 30, 20, QSize()).isEmpty());
}

TFitInput Fit(QSize image)
{
    TFitInput in;
    in.frame = QRect(100, 100, 327, 199);
    in.extra = QSize(8, 80);
    in.image = image;
    in.screenWidth = 1280;
    in.workAreaHeight = 984;
    in.minimumWidth = 270;
    in.vScrollWidth = 16;
    in.hScrollHeight = 16;
    return in;
}

TEST(ImgViewLayout, FitWindowToImage)
{
    EXPECT_EQ(FitWindowToImage(Fit(QSize(300, 200))), QRect(100, 100, 308, 280));
    // A tiny image keeps the toolbar whole: the window is as wide as the toolbar needs.
    EXPECT_EQ(FitWindowToImage(Fit(QSize(16, 16))), QRect(100, 100, 270, 16 + 80));
    EXPECT_EQ(FitWindowToImage(Fit(QSize(262, 16))).width(), 270);
    EXPECT_EQ(FitWindowToImage(Fit(QSize(263, 16))).width(), 271);
    // Taller than the work area: its whole height, a vertical bar wider, top at 0.
    const QRect tall = FitWindowToImage(Fit(QSize(300, 2000)));
    EXPECT_EQ(tall, QRect(100, 0, 308 + 16, 984));
    // Wider than the screen: the screen's width at its left edge, room for a horizontal bar.
    const QRect wide = FitWindowToImage(Fit(QSize(3000, 100)));
    EXPECT_EQ(wide, QRect(0, 100, 1280, 100 + 16 + 80));
    // A window that would reach past the right edge moves left.
    TFitInput right = Fit(QSize(300, 200));
    right.frame.moveLeft(1200);
    EXPECT_EQ(FitWindowToImage(right).left(), 1280 - 308);
}

// ---------------------------------------------------------------- the window

// A list like the main window's: rows with an image path, or none.
class TFakeList : public TImageItemList {
public:
    explicit TFakeList(const QStringList &paths) : paths_(paths)
    {
        for (const QString &path : paths)
            model.appendRow(new QStandardItem(path));
    }
    int RowCount() const override { return model.rowCount(); }
    QModelIndex IndexOf(int row) const override { return model.index(row, 0); }
    bool ImageOf(int row, QString &path, QImage &picture) const override
    {
        path = paths_.value(row);
        picture = QImage();
        return path.endsWith(".bmp") || path.endsWith(".jpg");
    }
    void SelectOnly(int row) override { selected = row; }
    TImageItem Item(int row) { return TImageItem{this, IndexOf(row)}; }

    QStandardItemModel model;
    int selected = -1;

private:
    QStringList paths_;
};

class ImgViewFormTest : public ::testing::Test {
protected:
    QString Bmp(const QString &name, int w, int h, QColor colour = Qt::darkCyan)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.file(name);
        WriteBmp24File(path, image);
        return path;
    }
    void Show()
    {
        form.show();
        QApplication::processEvents();
    }

    TTestDir dir;
    TImgViewForm form;
};

TEST_F(ImgViewFormTest, HiddenWindowShowsNothing)
{
    form.ShowImage({}, Bmp("a.bmp", 10, 10));
    EXPECT_TRUE(form.Picture().isNull());
    EXPECT_TRUE(form.StatusText().isEmpty());
}

TEST_F(ImgViewFormTest, NaturalSizeCentredWithNameAndSize)
{
    form.resize(700, 400);
    Show();
    form.ShowImage({}, Bmp("wide.bmp", 100, 50));
    EXPECT_EQ(form.StatusText(), "wide.bmp : 100x50");
    const int toolbar = form.ToolBar1->height();
    const int status = form.StatusBar->height();
    // The image area lies between toolbar and status bar; the image sits in its middle.
    const int area = 400 - toolbar - status;
    ASSERT_GT(area, 50);
    EXPECT_EQ(form.ImageRect(), QRect(700 / 2 - 100 / 2, toolbar + area / 2 - 50 / 2, 100, 50));
}

TEST_F(ImgViewFormTest, BadFilesGiveTheReasonAndAnEmptyView)
{
    Show();
    form.ShowImage({}, Bmp("good.bmp", 20, 20));
    ASSERT_FALSE(form.Picture().isNull());

    const QString broken = dir.createFile("broken.bmp", "BM this is no bitmap");
    form.ShowImage({}, broken);
    EXPECT_TRUE(form.Picture().isNull());
    EXPECT_TRUE(form.StatusText().contains("broken.bmp")) << form.StatusText().toStdString();
    EXPECT_TRUE(form.ImageRect().isEmpty());

    form.ShowImage({}, dir.file("missing.jpg"));
    EXPECT_TRUE(form.Picture().isNull());
    EXPECT_FALSE(form.StatusText().isEmpty());

    const QString truncated = dir.file("cut.jpg");
    QFile::copy(QString(MODWRIGHT_TEST_DATA) + "/images/im-baseline.jpg", truncated);
    QFile::resize(truncated, 200);
    form.ShowImage({}, truncated);
    EXPECT_TRUE(form.Picture().isNull());

    // A kind the loader does not know: empty view, nothing to say.
    form.ShowImage({}, Bmp("good.bmp", 20, 20));
    form.ShowImage({}, dir.createFile("anim.gif", "GIF89a"));
    EXPECT_TRUE(form.Picture().isNull());
    EXPECT_TRUE(form.StatusText().isEmpty());

    // Still usable afterwards, a JPEG too.
    form.ShowImage({}, QString(MODWRIGHT_TEST_DATA) + "/images/im-baseline.jpg");
    EXPECT_FALSE(form.Picture().isNull());
    EXPECT_TRUE(form.StatusText().startsWith("im-baseline.jpg : "));
}

TEST_F(ImgViewFormTest, GivenPictureWinsOverPath)
{
    Show();
    QImage picture(30, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    form.ShowImage({}, dir.file("not-read.bmp"), picture);
    EXPECT_EQ(form.StatusText(), "not-read.bmp : 30x40");
}

TEST_F(ImgViewFormTest, ModesExcludeEachOther)
{
    Show();
    form.ShowImage({}, Bmp("a.bmp", 50, 50));
    form.BStretch->trigger();
    EXPECT_TRUE(form.StretchMode());
    EXPECT_TRUE(form.BStretch->isChecked());
    form.BAutoSize->trigger();
    EXPECT_TRUE(form.AutoSizeMode());
    EXPECT_FALSE(form.StretchMode());
    EXPECT_FALSE(form.BStretch->isChecked());
    EXPECT_TRUE(form.BAutoSize->isChecked());
    form.BStretch->trigger();
    EXPECT_FALSE(form.AutoSizeMode());
    EXPECT_FALSE(form.BAutoSize->isChecked());
    form.BStretch->trigger();
    EXPECT_FALSE(form.StretchMode());
    EXPECT_FALSE(form.BStretch->isChecked());
    EXPECT_EQ(form.ImageRect().size(), QSize(50, 50));
}

TEST_F(ImgViewFormTest, StretchScalesIntoTheWindow)
{
    form.resize(400, 600);
    Show();
    form.BStretchClick();
    form.ShowImage({}, Bmp("big.bmp", 1000, 500));
    EXPECT_EQ(form.ImageRect().size(), QSize(400, 200));
    const int toolbar = form.ToolBar1->height();
    const int area = form.height() - toolbar - form.StatusBar->height();
    EXPECT_EQ(form.ImageRect().top(), area / 2 + toolbar - 100);
    // Follows the window.
    form.resize(200, 600);
    QApplication::processEvents();
    EXPECT_EQ(form.ImageRect().size(), QSize(200, 100));
}

TEST_F(ImgViewFormTest, AutoSizeFitsTheWindow)
{
    Show();
    form.BAutoSizeClick();
    form.ShowImage({}, Bmp("mid.bmp", 400, 150));
    QApplication::processEvents();
    const int area = form.StatusBar->geometry().top() - form.ToolBar1->geometry().bottom() - 1;
    EXPECT_EQ(form.width(), 400);
    EXPECT_EQ(area, 150);
}

// Every button of the toolbar is on the toolbar itself, none in its overflow menu.
void ExpectWholeToolbar(const TImgViewForm &form)
{
    for (QAction *action : form.ToolBar1->actions()) {
        QWidget *button = form.ToolBar1->widgetForAction(action);
        ASSERT_NE(button, nullptr) << action->text().toStdString();
        EXPECT_TRUE(button->isVisible()) << action->text().toStdString();
        EXPECT_TRUE(form.ToolBar1->rect().contains(button->geometry())) << action->text().toStdString();
        EXPECT_LE(button->mapTo(&form, QPoint(button->width(), 0)).x(), form.width())
            << action->text().toStdString();
    }
}

TEST_F(ImgViewFormTest, AutoSizeOnASmallImageKeepsEveryToolbarButton)
{
    Show();
    QWidget *button = form.ToolBar1->widgetForAction(form.BAutoSize);
    const QPointF middle = QRectF(button->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, middle, button->mapToGlobal(middle), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, middle, button->mapToGlobal(middle), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &release);
    ASSERT_TRUE(form.AutoSizeMode());
    form.ShowImage({}, Bmp("tiny.bmp", 40, 30));
    QApplication::processEvents();
    EXPECT_EQ(form.StatusText(), "tiny.bmp : 40x30");
    // As narrow as the toolbar allows: wider than the image, never cutting a button.
    EXPECT_EQ(form.width(), form.ToolBar1->sizeHint().width());
    ExpectWholeToolbar(form);
    EXPECT_TRUE(form.ToolBar1->widgetForAction(form.BStretch)->isVisible());
}

TEST_F(ImgViewFormTest, TheDragHintReachesTheStatusBar)
{
    form.resize(300, 200);
    Show();
    form.ShowImage({}, Bmp("large.bmp", 800, 800));
    for (QWidget *w : {static_cast<QWidget *>(form.Img), form.ScrollBoxImg->viewport()}) {
        QEnterEvent enter(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), w->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(w, &enter);
        EXPECT_EQ(form.StatusBar->currentMessage(), "Drag Image to see hidden parts.");
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(w, &leave);
        EXPECT_TRUE(form.StatusBar->currentMessage().isEmpty());
    }
    // A small image has no hint to give.
    form.ShowImage({}, Bmp("small.bmp", 20, 20));
    QEnterEvent enter(QPointF(5, 5), form.Img->mapToGlobal(QPointF(5, 5)),
                      form.Img->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(form.Img, &enter);
    EXPECT_TRUE(form.StatusBar->currentMessage().isEmpty());
}

TEST_F(ImgViewFormTest, StepsOverNonImagesAndStopsAtTheEnds)
{
    TFakeList list({Bmp("0.bmp", 10, 10), dir.createDir("folder"), dir.createFile("drum.wav"),
                    Bmp("3.bmp", 30, 10), dir.file("unassigned"), Bmp("5.bmp", 50, 10)});
    Show();
    form.ShowImage(list.Item(0), list.model.item(0)->text());
    form.BpreviousNextClick(false); // already first
    EXPECT_EQ(form.CurrentItem().index.row(), 0);
    EXPECT_EQ(list.selected, -1);

    form.BNext->trigger();
    EXPECT_EQ(form.CurrentItem().index.row(), 3);
    EXPECT_EQ(list.selected, 3);
    EXPECT_EQ(form.StatusText(), "3.bmp : 30x10");
    form.BNext->trigger();
    EXPECT_EQ(form.CurrentItem().index.row(), 5);
    form.BNext->trigger(); // the last image: nothing changes
    EXPECT_EQ(form.CurrentItem().index.row(), 5);
    EXPECT_EQ(form.StatusText(), "5.bmp : 50x10");

    form.Bprevious->trigger();
    EXPECT_EQ(form.CurrentItem().index.row(), 3);
    // The list re-sorted under the viewer: stepping goes on from the item's new place.
    list.model.insertRow(0, new QStandardItem("new"));
    EXPECT_EQ(form.CurrentItem().index.row(), 4);
    // Without a current item the buttons do nothing.
    TImgViewForm other;
    other.show();
    other.BpreviousNextClick(true);
    EXPECT_FALSE(other.CurrentItem().isValid());
}

TEST_F(ImgViewFormTest, DraggingScrollsALargeImage)
{
    form.resize(200, 200);
    Show();
    form.ShowImage({}, Bmp("large.bmp", 800, 800));
    EXPECT_EQ(form.Img->toolTip(), "Drag Image to see hidden parts.");
    QScrollBar *h = form.ScrollBoxImg->horizontalScrollBar();
    QScrollBar *v = form.ScrollBoxImg->verticalScrollBar();
    ASSERT_GT(h->maximum(), 100);
    const QPointF start(50, 50);
    QMouseEvent press(QEvent::MouseButtonPress, start, form.Img->mapToGlobal(start), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.Img, &press);
    const QPointF moved(10, 20); // pointer 40 left and 30 up: the view scrolls right and down
    QMouseEvent move(QEvent::MouseMove, moved, form.Img->mapToGlobal(start) + QPointF(-40, -30), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.Img, &move);
    EXPECT_EQ(h->value(), 40);
    EXPECT_EQ(v->value(), 30);
    QMouseEvent release(QEvent::MouseButtonRelease, moved, form.Img->mapToGlobal(moved), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form.Img, &release);

    // A small image needs no dragging.
    form.ShowImage({}, Bmp("small.bmp", 20, 20));
    EXPECT_TRUE(form.Img->toolTip().isEmpty());
}

TEST_F(ImgViewFormTest, SettingsRoundTrip)
{
    // The viewer is not the main window: its placement restores its visibility.
    QWidget main;
    SetApplicationMainWindow(&main);
    TMemIniFile ini;
    Show();
    form.BStretchClick();
    form.BStayOnTopClick();
    EXPECT_TRUE(form.StayOnTop());
    EXPECT_TRUE(form.BStayOnTop->isChecked());
    form.WriteSettings(ini, "ImageViewer");
    EXPECT_TRUE(ini.ReadBool("ImageViewer", "Stretch", false));
    EXPECT_FALSE(ini.ReadBool("ImageViewer", "AutoSize", true));

    TImgViewForm again;
    again.ReadSettings(ini, "ImageViewer");
    EXPECT_TRUE(again.StretchMode());
    EXPECT_TRUE(again.StayOnTop());
    EXPECT_TRUE(again.BStayOnTop->isChecked());
    EXPECT_TRUE(again.isVisible()); // it was visible when saved
    ini.WriteBool("ImageViewer", "AutoSize", true);
    again.ReadSettings(ini, "ImageViewer");
    EXPECT_TRUE(again.AutoSizeMode());
    EXPECT_FALSE(again.StretchMode());
    SetApplicationMainWindow(nullptr);
}

} // namespace
