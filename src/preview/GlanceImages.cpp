// The preview's images: made on the catalogue's image entries when the window is made,
// reloaded from the assigned files, and the controls built on them.

#include "common/BusyCursor.h"
#include "controls/FrameImage.h"
#include "controls/ImgControl.h"
#include "controls/SliderControl.h"
#include "formats/Probes.h"
#include "preview/GlanceForm.h"
#include "preview/GlanceLayout.h"
#include "preview/GlanceSplash.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>

namespace {

// The file's time stamp, -1 when there is no such file.
int64_t FileAge(const QString &path)
{
    if (path.isEmpty())
        return -1;
    const QFileInfo info(path);
    if (!info.isFile())
        return -1;
    return info.lastModified().toMSecsSinceEpoch();
}

} // namespace

void TGlanceForm::createImages()
{
    CreateCatalogue();
    for (int i = 0; i < ImageCount; ++i) {
        TAllImages &entry = ImageEntry(i);
        const TImageRecord &record = entry.record();
        entry.fileAge = -1;
        switch (entry.kind) {
        case ikFrames: {
            const TFramesRecord &strip = FramesTable[size_t(entry.kindIndex)];
            auto image = std::make_unique<TFrameImage>();
            image->SetSeparatorSize(1);
            image->SetOrientation(strip.vertical ? sbVertical : sbHorizontal);
            image->SetCount(strip.frames);
            image->Button = strip.frames == 2;
            image->TwoState = strip.twoState;
            // Until a file is loaded the frame has its catalogue size, so that a missing
            // file still shows as a crossed-out frame of the right size.
            image->SetWidth(record.frameWidth);
            image->SetHeight(record.frameHeight);
            entry.frameImage = image.get();
            entry.picture = &image->Bitmap();
            images_[size_t(i)] = std::move(image);
            break;
        }
        case ikSlider: {
            auto image = std::make_unique<TSharedImage>();
            image->SetEmptySize(record.frameWidth, record.frameHeight);
            entry.picture = &image->Bitmap();
            images_[size_t(i)] = std::move(image);
            break;
        }
        case ikPanel:
            panelPictures_[size_t(i)] = std::make_unique<QImage>();
            entry.picture = panelPictures_[size_t(i)].get();
            break;
        }
    }
}

void TGlanceForm::freeImages()
{
    if (CatalogueCreated()) {
        for (int i = 0; i < ImageCount; ++i) {
            TAllImages &entry = ImageEntry(i);
            entry.picture = nullptr;
            entry.frameImage = nullptr;
            entry.fileAge = -1;
        }
    }
    for (auto &image : images_)
        image.reset();
    for (auto &picture : panelPictures_)
        picture.reset();
}

void TGlanceForm::CreateElements()
{
    if (elementsCreated_)
        return;
    const auto wire = [this](TImgControlBase *control) {
        control->setVisible(false);
        control->OnMouseDown = [this](TImgControlBase *sender, Qt::MouseButton button, Qt::KeyboardModifiers,
                                      const QPoint &point) { highlightDown(sender, button, point); };
        control->OnMouseUp = [this](TImgControlBase *, Qt::MouseButton, Qt::KeyboardModifiers,
                                    const QPoint &) { highlightUp(); };
        control->installEventFilter(this);
        controls_.push_back(control);
    };
    for (const TPanelPlace &place : PanelPlaces) {
        setStatusText(QString("Creating element:") + place.name);
        for (const TControlPlace &row : PanelControls(place.panel)) {
            const int index = ImageIndexOfFile(row.fileName);
            if (index < 0)
                continue;
            const TImageRecord &record = ImageRecord(index);
            const QPoint at(place.x + row.dx, place.y + row.dy);
            const QString name = QString::fromUtf8(record.description) + " (" + record.fileName + ")";
            if (ImageKindOf(index) == ikSlider) {
                const int thumbIndex = SliderImage(SliderTable[size_t(KindIndexOf(index))].thumb);
                const TImageRecord &thumb = ImageRecord(thumbIndex);
                auto *slider = new TSliderControl(canvas_);
                // Sized as the track until its image says otherwise, so a missing track
                // still shows where it belongs.
                slider->setGeometry(QRect(at, QSize(record.frameWidth, record.frameHeight)));
                slider->SetImage(images_[size_t(index)].get());
                slider->SetThumbImage(images_[size_t(thumbIndex)].get());
                slider->SetThumbRange(record.frameHeight - thumb.frameHeight);
                slider->SetHint("|" + name + ", Thumb: " + QString::fromUtf8(thumb.description) + " (" +
                                thumb.fileName + ")");
                wire(slider);
            } else {
                auto *knob = new TImgControl(canvas_);
                knob->MiddlePos = 50;
                auto *image = static_cast<TFrameImage *>(images_[size_t(index)].get());
                knob->move(at);
                if (FramesTable[size_t(KindIndexOf(index))].vertical) {
                    knob->SetAutoSize(false);
                    knob->resize(record.frameWidth, record.frameHeight);
                } else {
                    knob->SetAutoSize(true);
                    if (image->Width() > 0 && image->Height() > 0)
                        knob->resize(image->Width(), image->Height());
                }
                knob->SetFrameImage(image);
                knob->SetHint("|" + name);
                wire(knob);
            }
        }
    }
    elementsCreated_ = true;
    setStatusText(QString());
}

void TGlanceForm::clearEntry(int imageIndex)
{
    loadedPaths_[size_t(imageIndex)].clear();
    if (TSharedImage *image = images_[size_t(imageIndex)].get())
        image->ClearBitmap();
    else if (QImage *picture = panelPictures_[size_t(imageIndex)].get())
        *picture = QImage();
}

bool TGlanceForm::loadEntry(int imageIndex)
{
    const QString &path = ImageEntry(imageIndex).path;
    loadedPaths_[size_t(imageIndex)] = path;
    QImage loaded;
    // A failed load (broken file, wrong format) must not leave the previous picture.
    const bool ok = LoadImageFile(path, loaded) && !loaded.isNull();
    if (!ok)
        loaded = QImage();
    if (TSharedImage *image = images_[size_t(imageIndex)].get())
        image->SetBitmap(loaded);
    else if (QImage *picture = panelPictures_[size_t(imageIndex)].get())
        *picture = loaded;
    return ok;
}

void TGlanceForm::RefreshImages(bool full)
{
    TBusyCursor busy;
    setStatusText(QString());
    int loaded = 0;
    bool panelsChanged = false;
    for (int i = 0; i < ImageCount; ++i) {
        TAllImages &entry = ImageEntry(i);
        if (full)
            setStatusText("Loading " + QFileInfo(entry.path).fileName());
        const int64_t age = FileAge(entry.path);
        if (age != -1)
            ++loaded;
        // Another file with the same time stamp is still a change.
        const bool unchanged = age == entry.fileAge && (age == -1 || entry.path == loadedPaths_[size_t(i)]);
        if (entry.kind == ikPanel && !panelsChanged)
            panelsChanged = !unchanged;
        if (age == -1 || (!full && unchanged)) {
            if (full || (age == -1 && entry.fileAge != -1)) {
                // A detached file leaves no path on the entry: name the one that was shown.
                const QString gone = entry.path.isEmpty() ? loadedPaths_[size_t(i)] : entry.path;
                clearEntry(i);
                entry.fileAge = -1;
                if (!full)
                    setStatusText("Deleted: " + gone);
            }
        } else {
            entry.fileAge = age;
            if (!full)
                setStatusText("Update: " + entry.path);
            if (!loadEntry(i) && !full)
                setStatusText("Cleared: " + entry.path);
        }
    }
    if (loaded > 0) {
        Splash->hide();
        LVersion->hide();
        LText->hide();
    }
    if (full)
        setStatusText(QString());
    if (loaded == 0 && !SplashMode()) {
        const QString previous = StatusText();
        setStatusText("Updating active controls...");
        for (TImgControlBase *control : controls_)
            control->hide();
        setClientSize(GlanceSplashWidth, GlanceSplashHeight);
        Splash->show();
        LVersion->show();
        LText->show();
        setStatusText(previous);
    }
    if (loaded > 0 && SplashMode()) {
        setClientSize(GlanceWidth, GlanceHeight);
        canvas_->update();
        for (TImgControlBase *control : controls_)
            control->setVisible(ShowDynamic->isChecked());
    }
    if (panelsChanged)
        canvas_->update();
}
