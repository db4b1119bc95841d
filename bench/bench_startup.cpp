// Start-up time of the main window: from starting the process until the window
// is painted with both component lists filled and an assignment of all 105
// components loaded from the backup, against the floor of a minimal Qt Widgets
// program that shows one empty window. Both run under X (Xvfb when there is no
// display: the program starts itself again under xvfb-run).
//
//   bench_startup                  the measurement
//   bench_startup --prepare DIR    only writes the configuration and files (for screenshots)

#include "model/AssignmentSet.h"
#include "model/Catalogue.h"
#include "platform/IniFile.h"
#include "platform/RegIniFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QByteArray Wav(int frames)
{
    const quint32 dataSize = quint32(frames * 2);
    QByteArray b;
    auto u32 = [&](quint32 v) { b.append(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](quint16 v) { b.append(reinterpret_cast<const char *>(&v), 2); };
    b.append("RIFF");
    u32(36 + dataSize);
    b.append("WAVEfmt ");
    u32(16);
    u16(1);         // PCM
    u16(1);         // mono
    u32(44100);     // rate
    u32(44100 * 2); // bytes per second
    u16(2);         // block align
    u16(16);        // bits
    b.append("data");
    u32(dataSize);
    b.append(QByteArray(int(dataSize), '\0'));
    return b;
}

// A configuration, a component file for each of the 105 components and a backup
// assignment naming them all, below `root`.
void Prepare(const QString &root)
{
    QDir().mkpath(root + "/config");
    QDir().mkpath(root + "/files");
    QDir().mkpath(root + "/base/Mdw2Temp");
    qputenv("MODWRIGHT_CONFIG_DIR", (root + "/config").toUtf8());
    CreateCatalogue();
    TIniFile backup((root + "/base/Mdw2Temp/" + TAssignmentSet::BackupFileName).toStdString());
    backup.WriteString("Assignments", "Assignment1", "Neon night");
    const std::string section = "Ass.Neon night";
    for (int i = 0; i < ImageCount; ++i) {
        const TImageRecord &r = ImageRecord(i);
        QImage image(r.width, r.height, QImage::Format_RGB888);
        image.fill(QColor::fromHsv((i * 37) % 360, 160, 220));
        const QString path = root + "/files/" + QString::fromUtf8(r.fileName).section('.', 0, 0) + ".bmp";
        image.save(path, "BMP");
        backup.WriteString(section, Description(ImageEntry(i)).toStdString(), path.toStdString());
    }
    for (int d = 0; d < DrumCount; ++d) {
        const QString path = root + "/files/" + DrumFileName(d).section('.', 0, 0) + ".wav";
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(Wav(2000 + d * 300));
        backup.WriteString(section, DrumName(d).toStdString(), path.toStdString());
    }
    backup.WriteString(section, "ModName", "Neon night");
    DestroyCatalogue();

    TRegIniFile config(TRegRoot::CurrentUser, "Software\\Talwen\\Modwright for ReBirth 2");
    config.WriteString("Current", "TempDir", (root + "/base").toStdString());
    config.WriteString("Current", "AssFilename", (root + "/Assignments.ini").toStdString());
    config.WriteString("Current", "ShowWelcome", "0");
    config.WriteString("Current", "FirstTime", "0");
    config.WriteInteger("Current", "MainWidth", 1000);
    config.WriteInteger("Current", "MainHeight", 660);
}

// Starts a program and waits for its "ready" line; the seconds it took.
double TimeUntilReady(const QString &program, const QStringList &arguments, const QProcessEnvironment &env,
                      bool *ok)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    QByteArray out;
    while (!out.contains("ready\n")) {
        if (!process.waitForReadyRead(20000)) {
            *ok = false;
            process.kill();
            process.waitForFinished();
            return 0;
        }
        out += process.readAllStandardOutput();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    process.waitForFinished(20000);
    *ok = true;
    return seconds;
}

QString g_root;
QString g_self;

void BM_StartupMainWindow(benchmark::State &state)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MODWRIGHT_CONFIG_DIR", g_root + "/config");
    env.insert("MODWRIGHT_READY_EXIT", "1");
    env.insert("TMPDIR", g_root);
    // The start registers the file managers' menu entries: keep them out of the user's own.
    env.insert("XDG_DATA_HOME", g_root + "/data");
    env.insert("XDG_CONFIG_HOME", g_root + "/xdg");
    const QString program = QStringLiteral(MODWRIGHT_BIN_DIR) + "/modwright";
    for (auto _ : state) {
        bool ok = false;
        const double seconds = TimeUntilReady(program, {}, env, &ok);
        if (!ok) {
            state.SkipWithError("modwright did not report ready");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_StartupMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FloorEmptyWindow(benchmark::State &state)
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto _ : state) {
        bool ok = false;
        const double seconds = TimeUntilReady(g_self, {"--floor"}, env, &ok);
        if (!ok) {
            state.SkipWithError("the floor program did not report ready");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_FloorEmptyWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The floor: one empty window, shown and painted.
int RunFloor(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1000, 660);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.repaint();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--floor") == 0)
        return RunFloor(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--prepare") == 0) {
        QCoreApplication app(argc, argv);
        Prepare(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("MODWRIGHT_BENCH_NO_XVFB")) {
        // No display: measure under a virtual one.
        qputenv("MODWRIGHT_BENCH_NO_XVFB", "1");
        std::vector<char *> args{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"),
                                 const_cast<char *>("-s"), const_cast<char *>("-screen 0 1280x800x24")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp("xvfb-run", args.data());
        std::perror("xvfb-run");
        return 1;
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    g_root = root.path();
    g_self = QCoreApplication::applicationFilePath();
    Prepare(g_root);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
