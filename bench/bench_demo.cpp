// The demo mod: drawing its 59 images, synthesising its 46 drums (both with
// their file encoding), writing the whole folder with its assignment file, and
// opening the Glance preview on it. Goals: the whole demo in under 2 s on one
// core, the preview open in under 100 ms.
#include "demo/DemoDrums.h"
#include "demo/DemoImages.h"
#include "demo/DemoMod.h"
#include "model/Catalogue.h"
#include "preview/GlanceForm.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_DemoDrawImages(benchmark::State &state)
{
    for (auto _ : state)
        for (int i = 0; i < ImageCount; ++i)
            benchmark::DoNotOptimize(DemoFileBytes(i));
}
BENCHMARK(BM_DemoDrawImages)->Unit(benchmark::kMillisecond);

void BM_DemoSynthesiseDrums(benchmark::State &state)
{
    for (auto _ : state)
        for (int d = 0; d < DrumCount; ++d)
            benchmark::DoNotOptimize(DemoFileBytes(ImageCount + d));
}
BENCHMARK(BM_DemoSynthesiseDrums)->Unit(benchmark::kMillisecond);

// Everything modwright-cli demo does, with each file flushed to disk.
void BM_DemoWriteFolder(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state)
        WriteDemo(dir.filePath("demo"));
}
BENCHMARK(BM_DemoWriteFolder)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

const QString &DemoOnDisk()
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString f = dir.filePath("demo");
        WriteDemo(f);
        return f;
    }();
    return folder;
}

void BM_DemoGlanceOpen(benchmark::State &state)
{
    CreateCatalogue();
    for (int i = 0; i < LiveEntryCount; ++i)
        LiveEntry(i).path = DemoOnDisk() + "/" + DemoFileName(i);
    for (auto _ : state) {
        auto *form = new TGlanceForm(nullptr, "Modwright for ReBirth 2");
        form->show();
        while (!form->ElementsCreated())
            QApplication::processEvents();
        QApplication::processEvents();
        state.PauseTiming();
        if (form->SplashMode())
            state.SkipWithError("the preview did not show the demo");
        delete form;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DemoGlanceOpen)->Unit(benchmark::kMillisecond);

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
