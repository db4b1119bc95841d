// The demo's panels and splash picture: plates with their labels, drawn where
// the preview puts the controls over them, and the drum pads the preview's
// click regions sit on.

#include "demo/DemoImages.h"
#include "demo/DemoPaint.h"
#include "demo/DemoPixelFont.h"
#include "model/Catalogue.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

using namespace DemoPaint;

namespace {

const QColor Ink(20, 20, 22);
const QColor Paper(232, 232, 226);
const QColor Orange(255, 140, 30);
const QColor Cyan(90, 200, 255);

// The panels share one family look: a dark anodised plate, a coloured title bar
// stripe and light lettering.
void DarkPlate(QImage &image, const QColor &base, uint32_t seed)
{
    Grain(image, image.rect(), base, 5, seed);
    QPainter p(&image);
    p.fillRect(0, 0, image.width(), 1, Mix(base, Qt::white, 0.35));
    p.fillRect(0, 0, 1, image.height(), Mix(base, Qt::white, 0.25));
    p.fillRect(0, image.height() - 1, image.width(), 1, Mix(base, Qt::black, 0.6));
    p.fillRect(image.width() - 1, 0, 1, image.height(), Mix(base, Qt::black, 0.6));
}

void Label(QPainter &p, int cx, int y, const QString &text, const QColor &c = Paper)
{
    DrawPixelTextCentred(p, cx, y, text, c);
}

void Lcd(QPainter &p, int x, int y, int digits, int digitWidth = 9)
{
    Well(p, QRect(x - 2, y - 2, digits * digitWidth + 4, 20), QColor(20, 6, 6));
}

// Step pads under a drum click region: `count` pads across [left, right], each
// `hot` pixels wide (0: the whole segment less a gap), coloured in groups of four.
void Pads(QPainter &p, int left, int right, int top, int bottom, int count, int hot, const QColor *colours,
          const QStringList &labels = {})
{
    const double segment = double(right - left + 1) / count;
    for (int i = 0; i < count; ++i) {
        const int x = left + int(std::floor(i * segment));
        const int w = hot > 0 ? hot : int(segment) - 2;
        const QRect pad(x, top, w, bottom - top + 1);
        Button(p, pad, colours[(i / 4) % 4], false);
        if (i < labels.size())
            DrawPixelTextCentred(p, pad.center().x() + 1, pad.top() + (pad.height() - 5) / 2, labels[i], Ink);
    }
}

QImage Transport()
{
    QImage image(592, 50, QImage::Format_RGB32);
    DarkPlate(image, QColor(34, 36, 42), 11);
    QPainter p(&image);
    p.fillRect(1, 47, 590, 2, Orange);
    Label(p, 20, 38, "MAIN");
    Label(p, 58, 4, "SYNC");
    Label(p, 93, 4, "MIDI");
    Lcd(p, 44, 27, 3);
    Label(p, 58, 20, "TEMPO");
    Label(p, 199, 9, "MODE");
    Label(p, 307, 9, "LOOP");
    Lcd(p, 271, 27, 3);
    Label(p, 285, 20, "BAR");
    Lcd(p, 329, 27, 3);
    Label(p, 343, 20, "START");
    Lcd(p, 372, 27, 3);
    Label(p, 386, 20, "END");
    Well(p, QRect(93, 18, 166, 31), QColor(22, 22, 26));
    // The logo plate at the right plays the start-up sound in the preview.
    Plate(p, QRect(443, 3, 146, 42), QColor(60, 62, 72), QColor(28, 30, 36));
    DrawPixelText(p, 452, 9, "MODWRIGHT", Orange, 2);
    DrawPixelText(p, 452, 25, "DEMO MOD", Paper, 1);
    DrawPixelText(p, 452, 34, "CLICK HERE: INTRO", QColor(150, 150, 160), 1);
    Screw(p, {584, 9}, 2.5);
    Screw(p, {584, 39}, 2.5);
    p.end();
    return image;
}

QImage PatternPanel()
{
    QImage image(70, 115, QImage::Format_RGB32);
    DarkPlate(image, QColor(45, 47, 52), 12);
    QPainter p(&image);
    DrawPixelText(p, 22, 8, "PATTERN", Paper);
    DrawPixelText(p, 3, 87, "SHUFFLE", Paper);
    Lcd(p, 36, 95, 2);
    p.end();
    return image;
}

QImage MixPanel()
{
    QImage image(70, 115, QImage::Format_RGB32);
    DarkPlate(image, QColor(52, 54, 60), 13);
    QPainter p(&image);
    DrawPixelText(p, 22, 9, "MIX", Paper);
    Label(p, 19, 47, "PAN");
    Label(p, 33, 22, "D");
    Label(p, 33, 40, "X");
    Label(p, 33, 58, "C");
    Label(p, 51, 100, "AUX");
    p.fillRect(30, 70, 36, 1, Mix(QColor(52, 54, 60), Qt::white, 0.2));
    p.end();
    return image;
}

QImage MasterPanel()
{
    QImage image(82, 98, QImage::Format_RGB32);
    DarkPlate(image, QColor(40, 42, 50), 14);
    QPainter p(&image);
    Label(p, 41, 5, "MASTER", Orange);
    Label(p, 23, 17, "L");
    Label(p, 57, 17, "R");
    Label(p, 20, 86, "FX");
    p.end();
    return image;
}

QImage WoodPanel()
{
    QImage image(16, 510, QImage::Format_RGB32);
    // Grain that wanders slowly along the board, with a few darker growth rings.
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double wave = std::sin(y * 0.045 + x * 0.9 + std::sin(y * 0.011) * 3.0);
            const double ring = std::pow(std::abs(std::sin(x * 0.7 + y * 0.013 + std::sin(y * 0.03))), 8.0);
            const double shade = 0.78 + 0.12 * wave - 0.25 * ring - (x == 0 || x == 15 ? 0.25 : 0.0);
            line[x] = qRgb(int(150 * shade), int(88 * shade), int(44 * shade));
        }
    }
    return image;
}

QImage EffectPanel(const QString &title, int height, int kind, uint32_t seed)
{
    QImage image(82, height, QImage::Format_RGB32);
    DarkPlate(image, QColor(46, 50, 58), seed);
    QPainter p(&image);
    Label(p, 41, 9, title, Cyan);
    if (kind == 0 || kind == 1) { // Delay and PCF share the top row
        Lcd(p, 9, 23, 2);
        Label(p, 18, 44, "STEPS");
        Label(p, 53, 44, "MODE");
    }
    if (kind == 0) {
        Label(p, 21, 80, "FEED");
        Label(p, 62, 80, "MIX");
    } else if (kind == 1) {
        const char *names[] = {"AMT", "FRQ", "RES", "LVL"};
        const int xs[] = {5, 23, 42, 61};
        for (int i = 0; i < 4; ++i)
            Label(p, xs[i] + 8, 103, names[i]);
    } else if (kind == 2) {
        Label(p, 21, 50, "AMT");
        Label(p, 62, 50, "SHAPE");
    } else {
        Label(p, 40, 37, "GAIN REDUCTION");
        Label(p, 21, 78, "THR");
        Label(p, 62, 78, "RATIO");
    }
    p.end();
    return image;
}

QImage SelectorBar()
{
    QImage image(9, 115, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 9, 0);
    g.setColorAt(0, QColor(140, 60, 0));
    g.setColorAt(0.5, QColor(255, 170, 40));
    g.setColorAt(1, QColor(140, 60, 0));
    p.fillRect(image.rect(), g);
    for (int y = 8; y < 110; y += 12) // chevrons pointing at the instrument
        for (int i = 0; i < 3; ++i)
            p.fillRect(2 + i, y + i, 1, 5 - 2 * i, QColor(60, 25, 0));
    return image;
}

QImage BassPanel()
{
    QImage image(366, 115, QImage::Format_RGB32);
    DarkPlate(image, QColor(196, 198, 202), 15);
    QPainter p(&image);
    // The keyboard bay and the knob row's captions.
    Well(p, QRect(46, 52, 282, 60), QColor(60, 60, 64));
    const char *knobs[] = {"TUNE", "CUTOFF", "RESO", "ENV MOD", "DECAY", "ACCENT"};
    for (int i = 0; i < 6; ++i)
        Label(p, 73 + 33 * i + 15, 44, knobs[i], Ink);
    Label(p, 32, 24, "WAVE", Ink);
    Label(p, 28, 86, "MODE", Ink);
    Lcd(p, 330, 25, 2);
    Label(p, 339, 46, "PATT", Ink);
    DrawPixelText(p, 262, 6, "BASS LINE 303", QColor(170, 30, 20));
    Screw(p, {5, 5}, 2.5);
    Screw(p, {360, 5}, 2.5);
    Screw(p, {360, 109}, 2.5);
    p.end();
    return image;
}

QImage RhythmPanel808()
{
    QImage image(366, 115, QImage::Format_RGB32);
    DarkPlate(image, QColor(38, 38, 40), 16);
    QPainter p(&image);
    const char *columns[] = {"AC", "BD", "SD", "LT", "MT", "HT", "RS", "CP", "CB", "CY", "OH", "CH"};
    for (int i = 0; i < 12; ++i)
        Label(p, 14 + 22 * i + 7, 24, columns[i], i == 0 ? Orange : Paper);
    p.fillRect(4, 50, 276, 1, QColor(90, 90, 92));
    Label(p, 320, 74, "INSTR", Paper);
    DrawPixelText(p, 284, 6, "RHYTHM 808", Orange);
    DrawPixelText(p, 284, 14, "DEMO KIT", QColor(150, 150, 150));
    // The 16 step pads in the classic four colours, and above them the extra snares.
    const QColor steps[] = {QColor(220, 50, 40), QColor(240, 140, 40), QColor(240, 220, 80),
                            QColor(235, 235, 225)};
    Pads(p, 16, 273, 90, 110, 16, 12, steps);
    const QColor snares[] = {QColor(150, 150, 155), QColor(150, 150, 155), QColor(150, 150, 155),
                             QColor(150, 150, 155)};
    Pads(p, 16, 274, 76, 87, 8, 0, snares, {"SN2", "SN3", "SN4", "ST1", "ST2", "ST3", "ST4", "ST5"});
    Label(p, 320, 104, "STEPS", Paper);
    p.end();
    return image;
}

QImage RhythmPanel909()
{
    QImage image(366, 115, QImage::Format_RGB32);
    DarkPlate(image, QColor(205, 205, 200), 17);
    QPainter p(&image);
    DrawPixelText(p, 9, 6, "RHYTHM 909", QColor(220, 90, 20));
    DrawPixelText(p, 60, 6, "DEMO KIT", QColor(110, 110, 110));
    // Each instrument's name over the bracket of its knobs in the upper row.
    struct TGroup {
        const char *name;
        int first, last; // x of the first and last knob
    };
    const TGroup groups[] = {{"BD", 9, 50},    {"SD", 72, 114},   {"LT", 134, 156}, {"MT", 176, 198},
                             {"HT", 218, 240}, {"RIM", 260, 260}, {"HH", 302, 324}, {"CY", 344, 344}};
    for (const TGroup &g : groups) {
        Label(p, (g.first + g.last + 12) / 2 + 1, 18, g.name, Ink);
        p.fillRect(g.first + 1, 25, g.last - g.first + 10, 1, QColor(120, 120, 116));
    }
    p.fillRect(4, 44, 358, 1, QColor(150, 150, 146));
    Label(p, 15, 109, "FLAM", Ink);
    const QColor steps[] = {QColor(240, 120, 30), QColor(245, 245, 240), QColor(240, 120, 30),
                            QColor(245, 245, 240)};
    Pads(p, 28, 368, 85, 104, 16, 18, steps);
    const QColor tones[] = {QColor(170, 170, 166), QColor(170, 170, 166), QColor(170, 170, 166),
                            QColor(170, 170, 166)};
    Pads(p, 32, 151, 70, 83, 5, 0, tones, {"T1", "T2", "T3", "T4", "T5"});
    Label(p, 190, 74, "SNARE TONE", Ink);
    p.end();
    return image;
}

QImage InstrSelect909()
{
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(QColor(205, 205, 200));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Orange);
    p.drawEllipse(QRectF(0.5, 0.5, 5, 5));
    return image;
}

QImage Splash()
{
    QImage image(256, 256, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 256);
    g.setColorAt(0, QColor(20, 24, 40));
    g.setColorAt(1, QColor(60, 20, 50));
    p.fillRect(image.rect(), g);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A sound wave across the middle and a big knob above it.
    QPainterPath wave;
    for (int x = 0; x <= 256; x += 2) {
        const double y = 170 + 22 * std::sin(x * 0.06) * std::exp(-std::abs(x - 128) / 90.0);
        x == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
    }
    p.setPen(QPen(Cyan, 2.0));
    p.drawPath(wave);
    p.setRenderHint(QPainter::Antialiasing, false);
    Knob(p, QRectF(88, 30, 80, 80), 0.72, QColor(60, 62, 70), Orange);
    DrawPixelTextCentred(p, 128, 122, "MODWRIGHT", Orange, 3);
    DrawPixelTextCentred(p, 128, 205, "DEMO MOD", Paper, 2);
    DrawPixelTextCentred(p, 128, 225, "DRAWN AND SYNTHESISED BY CODE", QColor(160, 160, 180));
    return image;
}

} // namespace

QImage DrawDemoPanel(int panelIndex)
{
    switch (panelIndex) {
    case 0:
        return Transport();
    case 1:
        return PatternPanel();
    case 2:
        return MixPanel();
    case 3:
        return MasterPanel();
    case 4:
        return WoodPanel();
    case 5:
        return EffectPanel("DELAY", 93, 0, 18);
    case 6:
        return EffectPanel("PCF", 111, 1, 19);
    case 7:
        return EffectPanel("DIST", 65, 2, 20);
    case 8:
        return SelectorBar();
    case 9:
        return BassPanel();
    case 10:
        return RhythmPanel808();
    case 11:
        return RhythmPanel909();
    case 12:
        return EffectPanel("COMP", 93, 3, 21);
    case 13:
        return InstrSelect909();
    default:
        return Splash();
    }
}

QImage DrawDemoImage(int imageIndex)
{
    switch (ImageKindOf(imageIndex)) {
    case ikPanel:
        return DrawDemoPanel(KindIndexOf(imageIndex));
    case ikFrames:
        return DrawDemoStrip(KindIndexOf(imageIndex));
    default:
        return DrawDemoSlider(KindIndexOf(imageIndex));
    }
}
