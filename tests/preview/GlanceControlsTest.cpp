// What the Glance window draws and does: panels at their places, controls showing their
// frames, the right-button highlight, status bar hints and the drum step buttons.

#include "GlanceFixture.h"
#include "audio/AudioTestSupport.h"
#include "common/MessageBoxes.h"

#include <QEnterEvent>
#include <QMouseEvent>

namespace {

bool Dark(QRgb pixel)
{
    return qGray(pixel) < 80;
}

TEST_F(GlanceTest, PanelsAreDrawnAtTheirPlacesAndMissingOnesCrossedOut)
{
    assign("12057.jpg", Plain(592, 50, Qt::red));      // transport bar at (16, 0)
    assign("12062.jpg", Plain(10, 400, Qt::darkCyan)); // wooden side: narrower and lower
    open();
    form->ShowDynamicClick(); // panels alone
    const QImage canvas = canvasShot();
    EXPECT_EQ(canvas.pixel(20, 5), QColor(Qt::red).rgb());
    EXPECT_EQ(canvas.pixel(607, 49), QColor(Qt::red).rgb());
    EXPECT_EQ(canvas.pixel(5, 5), QColor(Qt::darkCyan).rgb());
    EXPECT_EQ(canvas.pixel(613, 399), QColor(Qt::darkCyan).rgb()); // the right wood, same image
    const QRgb silver = qRgb(192, 192, 192);
    EXPECT_EQ(canvas.pixel(13, 200), silver); // right of the narrow picture
    EXPECT_EQ(canvas.pixel(5, 450), silver);  // below the short picture
    // The 909 panel (366 x 115 at (90, 395)) has no file: window colour with diagonals.
    EXPECT_TRUE(Dark(canvas.pixel(90 + 183, 395 + 57)) || Dark(canvas.pixel(90 + 183, 395 + 58)));
    EXPECT_EQ(canvas.pixel(90 + 183, 397), silver);
}

TEST_F(GlanceTest, ControlsShowTheirFramesAndFollowThePositionCommands)
{
    assign("12507.jpg", Strip(54, 30, 30));
    assign("12032.jpg", Plain(15, 54, Qt::darkGreen));
    assign("12031.jpg", Plain(15, 11, Qt::yellow));
    open();
    const std::vector<TImgControlBase *> knobs = controlsOf("12507.jpg");
    ASSERT_EQ(knobs.size(), 12u); // six on each 303
    EXPECT_EQ(knobs.front()->geometry(), QRect(90 + 73, 50 + 12, 30, 30));
    EXPECT_EQ(shot(knobs.front()).pixel(15, 15), StripColour(0));

    form->Maximumpositions1Click();
    for (TImgControlBase *knob : knobs)
        EXPECT_EQ(shot(knob).pixel(15, 15), StripColour(53));
    const std::vector<TImgControlBase *> volumes = controlsOf("12032.jpg");
    ASSERT_EQ(volumes.size(), 5u); // four mixers and the master
    auto *volume = qobject_cast<TSliderControl *>(volumes.front());
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->ThumbRange(), 43);
    EXPECT_EQ(volume->Position(), 100);
    EXPECT_EQ(volume->size(), QSize(15, 54));
    EXPECT_EQ(shot(volume).pixel(7, volume->ThumbRect().top() + 5), QColor(Qt::yellow).rgb());
    EXPECT_EQ(volume->Hint(), "|Volume slider (12032.jpg), Thumb: Volume thumb (12031.jpg)");

    form->ResetPositions1Click();
    EXPECT_EQ(shot(knobs.back()).pixel(15, 15), StripColour(0));
    EXPECT_EQ(volume->Position(), 0);
    form->Randomizepositions1Click();
    for (TImgControlBase *knob : knobs)
        EXPECT_LT(static_cast<TImgControl *>(knob)->Position(), 100);

    // A knob turns with the mouse; the detent sits at 50.
    auto *first = static_cast<TImgControl *>(knobs.front());
    first->SetPosition(40);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 20), QPointF(5, 20), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(first, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 8), QPointF(5, 8), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(first, &move);
    EXPECT_EQ(first->Position(), 50);
}

TEST_F(GlanceTest, RightPressingAControlCrossesOutEveryUseOfItsImage)
{
    assign("12507.jpg", Strip(54, 30, 30));
    assign("12030.jpg", Plain(15, 45, Qt::darkGreen));
    assign("12031.jpg", Plain(15, 11, Qt::yellow));
    open();
    const std::vector<TImgControlBase *> knobs = controlsOf("12507.jpg");
    const auto send = [](QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button) {
        QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), {});
        QApplication::sendEvent(w, &e);
    };
    send(knobs[3], QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
    for (TImgControlBase *knob : knobs) {
        const QImage s = shot(knob);
        EXPECT_TRUE(Dark(s.pixel(15, 15)) && Dark(s.pixel(1, 1)) && !Dark(s.pixel(15, 1)));
    }
    // A right press does not turn the knob.
    EXPECT_EQ(static_cast<TImgControl *>(knobs[3])->Position(), 0);
    send(knobs[3], QEvent::MouseButtonRelease, {200, 200}, Qt::RightButton);
    for (TImgControlBase *knob : knobs)
        EXPECT_EQ(shot(knob).pixel(15, 15), StripColour(0));

    // On a slider, the thumb under the pointer is marked, not the track.
    auto *pcf = qobject_cast<TSliderControl *>(controlsOf("12030.jpg").front());
    ASSERT_NE(pcf, nullptr);
    TSharedImage *thumb = pcf->ThumbImage();
    send(pcf, QEvent::MouseButtonPress, pcf->ThumbRect().center(), Qt::RightButton);
    EXPECT_TRUE(thumb->AlwaysDisplayEmpty());
    EXPECT_FALSE(pcf->Image()->AlwaysDisplayEmpty());
    send(pcf, QEvent::MouseButtonRelease, {0, 0}, Qt::RightButton);
    EXPECT_FALSE(thumb->AlwaysDisplayEmpty());
    send(pcf, QEvent::MouseButtonPress, {7, 2}, Qt::RightButton);
    EXPECT_TRUE(pcf->Image()->AlwaysDisplayEmpty());
    send(pcf, QEvent::MouseButtonRelease, {7, 2}, Qt::RightButton);
    EXPECT_FALSE(pcf->Image()->AlwaysDisplayEmpty());
}

TEST_F(GlanceTest, HintsNameTheControlAndTheDrumUnderThePointer)
{
    assign("12062.jpg", Plain(16, 510, Qt::red));
    DrumEntry(1).path = dir.file("drums/kick.wav");
    open();
    TImgControlBase *knob = controlsOf("12507.jpg").front();
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(knob, &enter);
    EXPECT_EQ(form->HintText(), "303 knob movie (12507.jpg)");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(knob, &leave);
    EXPECT_EQ(form->HintText(), "");

    form->FormMouseMove({106, 370});
    EXPECT_EQ(form->HintText(), "808 Bassdrum (kick.wav)");
    form->FormMouseMove({123, 370});
    EXPECT_EQ(form->HintText(), "808 Snare Snappy 1 ()");
    form->FormMouseMove({119, 370});
    EXPECT_EQ(form->HintText(), "");
    EXPECT_EQ(TGlanceForm::DrumHint(0), "|Start-up sound ()");
}

class GlanceDrumTest : public GlanceTest {
protected:
    // A mono 16-bit drum whose every sample is Value.
    QString drum(int index, int16_t value, uint32_t rate = 44100)
    {
        const QString path =
            dir.createFile(QString("drum%1.wav").arg(index),
                           WavImage(1, 16, rate, Pcm16(std::vector<int16_t>(500, value), false)));
        DrumEntry(index).path = path;
        return path;
    }
    // The first sample the device took, once it has taken some.
    int16_t firstPlayed()
    {
        EXPECT_TRUE(WaitUntil([&] { return scope.recorder->recordedSize() >= 4; }));
        const std::vector<int16_t> got = AsPcm16(scope.recorder->recorded());
        // Silence the device before the next click, so that nothing of this sound
        // reaches the next recording.
        GetWavePlayer().StopPlaying(true);
        scope.recorder->clear();
        return got.empty() ? 0 : got.front();
    }
    void quiet()
    {
        Spin(100);
        EXPECT_EQ(scope.recorder->recordedSize(), 0u);
    }
    TRecorderScope scope;
};

TEST_F(GlanceDrumTest, AStepClickPlaysItsDrum)
{
    drum(1, 1111);  // 808 Bassdrum
    drum(14, 2222); // 808 Snare Snappy 1
    drum(36, 3333); // 909 Ride Cymbal, the last 909 step
    drum(0, 4444);  // start-up sound
    open();
    form->FormMouseDown(Qt::LeftButton, {118, 370});
    EXPECT_EQ(firstPlayed(), 1111);
    form->FormMouseDown(Qt::LeftButton, {123, 380});
    EXPECT_EQ(firstPlayed(), 2222);
    form->FormMouseDown(Qt::LeftButton, {440, 490});
    EXPECT_EQ(firstPlayed(), 3333);
    form->FormMouseDown(Qt::LeftButton, {600, 40});
    EXPECT_EQ(firstPlayed(), 4444);

    form->FormMouseDown(Qt::RightButton, {118, 370}); // the right button never plays
    form->FormMouseDown(Qt::LeftButton, {119, 370});  // the gap after the first step
    form->FormMouseDown(Qt::LeftButton, {140, 370});  // 808 Lo Tom: nothing assigned
    form->FormMouseDown(Qt::LeftButton, {50, 300});   // no drum there
    quiet();
}

TEST_F(GlanceDrumTest, ADrumThatCannotPlayIsReportedAndNothingElseHappens)
{
    TScriptedMessageBoxes boxes;
    drum(25, 500, 22050); // 909 Bassdrum 1 at the wrong rate
    DrumEntry(26).path = dir.createFile("broken.wav", "RIFF");
    open();
    form->FormMouseDown(Qt::LeftButton, {118, 480});
    form->FormMouseDown(Qt::LeftButton, {140, 480});
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: ")) << boxes.shown[0].toStdString();
    EXPECT_TRUE(boxes.shown[0].contains("44,1 KHz")) << boxes.shown[0].toStdString();
    EXPECT_TRUE(boxes.shown[1].startsWith("error: ")) << boxes.shown[1].toStdString();
    quiet();
}

TEST_F(GlanceDrumTest, WithoutASoundCardClicksDoNothing)
{
    scope.recorder->setDevices({});
    drum(1, 1111);
    open();
    form->FormMouseDown(Qt::LeftButton, {110, 375});
    quiet();
}

} // namespace
