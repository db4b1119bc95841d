#pragma once

// A Glance window over the process-wide catalogue, with image files made in a temporary
// folder. Every test starts and ends with nothing assigned.

#include "controls/FrameImage.h"
#include "controls/ImgControl.h"
#include "controls/SliderControl.h"
#include "formats/BmpFile.h"
#include "model/Catalogue.h"
#include "platform/MemIniFile.h"
#include "preview/GlanceForm.h"
#include "preview/GlanceLayout.h"
#include "support/TestDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPointer>
#include <gtest/gtest.h>

inline void ClearAssignments()
{
    CreateCatalogue();
    for (int i = 0; i < LiveEntryCount; ++i)
        LiveEntry(i).path.clear();
}

// A picture of one colour.
inline QImage Plain(int w, int h, const QColor &c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

// Colour of frame N of a test strip.
inline QRgb StripColour(int n)
{
    return qRgb(40 + (n * 53) % 200, 200 - (n * 31) % 150, 60 + (n * 17) % 180);
}

// A horizontal strip of Count frames W x H with one-pixel black separators.
inline QImage Strip(int count, int w, int h)
{
    QImage image(count * (w + 1) - 1, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    for (int n = 0; n < count; ++n)
        p.fillRect(n * (w + 1), 0, w, h, QColor(StripColour(n)));
    return image;
}

class GlanceTest : public ::testing::Test {
protected:
    void SetUp() override { ClearAssignments(); }
    void TearDown() override
    {
        delete form.data();
        ClearAssignments();
    }

    // Opens the window and waits until it has made its controls and loaded the images.
    TGlanceForm *open()
    {
        form = new TGlanceForm(&config, "Modwright for ReBirth 2");
        form->show();
        QElapsedTimer timer;
        timer.start();
        while (!form->ElementsCreated() && timer.elapsed() < 10000)
            QApplication::processEvents();
        EXPECT_TRUE(form->ElementsCreated());
        return form;
    }
    // Writes a BMP file and assigns it to the image with that packer file name.
    QString assign(const char *packerName, const QImage &picture, const QString &fileName = {})
    {
        const QString path = dir.file(fileName.isEmpty() ? QString(packerName) + ".bmp" : fileName);
        WriteBmp24File(path, picture);
        ImageEntry(indexOf(packerName)).path = path;
        return path;
    }
    static int indexOf(const char *packerName)
    {
        for (int i = 0; i < ImageCount; ++i)
            if (QString(ImageRecord(i).fileName) == packerName)
                return i;
        ADD_FAILURE() << packerName;
        return 0;
    }
    // The controls showing the image with that packer file name.
    std::vector<TImgControlBase *> controlsOf(const char *packerName) const
    {
        return form->Image(indexOf(packerName))->Clients();
    }
    QImage canvasShot() const
    {
        return form->Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QImage shot(QWidget *w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TTestDir dir;
    TMemIniFile config;
    QPointer<TGlanceForm> form;
};
