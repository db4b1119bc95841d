// What a listener hears, on a stand-in device that plays at the real rate behind a device
// buffer of its own (as a sound card does): the end of every drum, a new click that cuts
// the sound at once, a second play that starts again at frame 0, a program that stops at
// once when it closes, and a device that vanishes while a sound plays.

#include "AudioTestSupport.h"
#include "support/TestDir.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class HeardTest : public ::testing::Test {
protected:
    HeardTest()
    {
        scope.recorder->setSpeed(1);
        scope.recorder->setDeviceBuffer(100ms); // what ALSA is asked for
    }

    QString drumFile(const QString &name, const std::vector<int16_t> &drum)
    {
        return dir.createFile(name, WavImage(1, 16, 44100, Pcm16(drum, false)));
    }
    std::vector<int16_t> heard() const { return AsPcm16(scope.recorder->heard()); }

    TRecorderScope scope;
    TTestDir dir;
};

// How many stereo frames at Offset of Got repeat the mono Drum from its first frame.
size_t MatchingFrames(const std::vector<int16_t> &got, size_t offset, const std::vector<int16_t> &drum)
{
    size_t n = 0;
    while (n < drum.size() && offset + 2 * n + 1 < got.size() && got[offset + 2 * n] == drum[n] &&
           got[offset + 2 * n + 1] == drum[n])
        ++n;
    return n;
}

TEST_F(HeardTest, EveryDrumIsHeardToItsLastSample)
{
    // 350 ms ends inside the first buffer, 780 ms inside the second; 800 ms fills both.
    for (int ms : {350, 780, 800}) {
        scope.recorder->clear();
        const std::vector<int16_t> drum = RampDrum(44100 * ms / 1000);
        PlayToEnd(drumFile(QString("drum%1.wav").arg(ms), drum));
        const std::vector<int16_t> got = heard();
        EXPECT_EQ(MatchingFrames(got, 0, drum), drum.size()) << ms << " ms drum";
        for (size_t i = drum.size() * 2; i < got.size(); ++i)
            ASSERT_EQ(got[i], 0) << ms << " ms drum, sample " << i;
        EXPECT_EQ(scope.recorder->closes(), 1);
    }
}

TEST_F(HeardTest, ANewClickCutsTheSoundAtOnceAndASecondPlayStartsAgainAtFrameZero)
{
    const std::vector<int16_t> drum = RampDrum(44100);
    const QString file = drumFile("long.wav", drum);
    PlayWave(file);
    ASSERT_TRUE(WaitUntil([&] { return scope.recorder->heard().size() > 4 * 4410; }));
    const size_t drops = size_t(scope.recorder->drops());
    PlayWave(file); // the device is reset before this returns
    EXPECT_EQ(size_t(scope.recorder->drops()), drops + 1);
    const size_t cut = heard().size();
    EXPECT_LT(cut, drum.size() * 2);

    ASSERT_TRUE(WaitUntil([&] { return scope.recorder->closes() == 2; }, 20000)); // closed by itself
    const std::vector<int16_t> got = heard();
    EXPECT_EQ(MatchingFrames(got, 0, drum), cut / 2);       // the first play up to the click
    EXPECT_EQ(MatchingFrames(got, cut, drum), drum.size()); // then all of the second
}

TEST_F(HeardTest, ClosingTheProgramStopsTheSoundAtOnce)
{
    const std::vector<int16_t> drum = RampDrum(44100 * 2);
    PlayWave(drumFile("long.wav", drum));
    ASSERT_TRUE(WaitUntil([&] { return !scope.recorder->heard().empty(); }));
    FreeWavePlayer();
    EXPECT_EQ(scope.recorder->closes(), 1);
    EXPECT_EQ(scope.recorder->drops(), 1);
    const size_t heardAtClose = heard().size();
    EXPECT_LT(heardAtClose, drum.size()); // well before the end of the two seconds
    Spin(50);
    EXPECT_EQ(heard().size(), heardAtClose);
}

TEST_F(HeardTest, ADeviceThatVanishesWhilePlayingIsReportedOnceAndTheNextPlayWorks)
{
    std::vector<std::string> errors;
    SetWaveErrorHandler([&](TWaveOutput *, const std::string &m) { errors.push_back(m); });
    const std::vector<int16_t> drum = RampDrum(44100);
    const QString file = drumFile("drum.wav", drum);
    scope.recorder->failAfter(20000, MMSYSERR_NODRIVER); // unplugged mid-sound
    int stopped = 0;
    GetWavePlayer().Output().OnStopped = [&](TWaveOutput *) { ++stopped; };
    PlayWave(file);
    ASSERT_TRUE(WaitUntil([&] { return stopped == 1; }));
    Spin(100);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "The sound device is not present or has been removed.");
    EXPECT_TRUE(GetWavePlayer().Output().IsClosed());

    scope.recorder->heal(); // plugged in again
    scope.recorder->clear();
    PlayToEnd(file);
    EXPECT_EQ(MatchingFrames(heard(), 0, drum), drum.size());
    EXPECT_EQ(errors.size(), 1u);
}

} // namespace
