// The Glance preview with every one of the 59 images assigned as a JPEG of its catalogue
// size: opening the window (286 controls made, all files decoded), a partial refresh
// when nothing changed (what every assignment command costs while the preview is open),
// a full repaint of the window, and turning every control to its maximum.
#include "formats/JpegCodec.h"
#include "model/Catalogue.h"
#include "preview/GlanceForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Assigns a JPEG of the right size, with some detail, to every image entry once.
void AssignAllImages()
{
    static QTemporaryDir dir;
    static bool done = false;
    if (done)
        return;
    done = true;
    CreateCatalogue();
    for (int i = 0; i < ImageCount; ++i) {
        const TImageRecord &r = ImageRecord(i);
        QImage image(r.width, r.height, QImage::Format_RGB32);
        QPainter p(&image);
        for (int x = 0; x < r.width; x += 8)
            p.fillRect(x, 0, 8, r.height, QColor::fromHsv((x * 7 + i * 40) % 360, 180, 200));
        p.end();
        const QString path = dir.filePath(QString::number(i) + ".jpg");
        WriteJpegFile(path, image, 90);
        ImageEntry(i).path = path;
    }
}

TGlanceForm *OpenGlance()
{
    auto *form = new TGlanceForm(nullptr, "Modwright for ReBirth 2");
    form->show();
    while (!form->ElementsCreated())
        QApplication::processEvents();
    QApplication::processEvents();
    return form;
}

void BM_GlanceOpen(benchmark::State &state)
{
    AssignAllImages();
    for (auto _ : state) {
        TGlanceForm *form = OpenGlance();
        state.PauseTiming();
        delete form;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GlanceOpen)->Unit(benchmark::kMillisecond);

void BM_GlanceRefreshUnchanged(benchmark::State &state)
{
    AssignAllImages();
    TGlanceForm *form = OpenGlance();
    for (auto _ : state)
        form->RefreshImages(false);
    delete form;
}
BENCHMARK(BM_GlanceRefreshUnchanged)->Unit(benchmark::kMicrosecond);

void BM_GlanceRepaint(benchmark::State &state)
{
    AssignAllImages();
    TGlanceForm *form = OpenGlance();
    for (auto _ : state)
        benchmark::DoNotOptimize(form->Canvas()->grab());
    delete form;
}
BENCHMARK(BM_GlanceRepaint)->Unit(benchmark::kMillisecond);

void BM_GlanceTurnAllControls(benchmark::State &state)
{
    AssignAllImages();
    TGlanceForm *form = OpenGlance();
    bool high = false;
    for (auto _ : state) {
        high = !high;
        high ? form->Maximumpositions1Click() : form->ResetPositions1Click();
        QApplication::processEvents(); // the controls repaint
    }
    delete form;
}
BENCHMARK(BM_GlanceTurnAllControls)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
