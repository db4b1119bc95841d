#include "WorkflowFixture.h"

#include "audio/WavePlayer.h"
#include "controls/SystemListView.h"
#include "model/Catalogue.h"
#include "platform/RegIniFile.h"
#include "support/ReturningUser.h"
#include "workbench/ErrForm.h"
#include "workbench/ModwrightForm.h"
#include "workbench/SplashForm.h"
#include "workbench/WorkbenchMain.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>

namespace {

QByteArray MonoDrum(int drumIndex)
{
    return DistinctSamples(4410 + drumIndex, drumIndex + 1);
}

} // namespace

Workflow::Workflow()
{
    configDir = dir.createDir("config");
    dataHome = dir.createDir("home/.local/share");
    const QString runtime = dir.createDir("run");
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::vector<std::pair<const char *, QString>> folders = {
        {"MODWRIGHT_CONFIG_DIR", configDir},
        {"HOME", dir.file("home")},
        {"XDG_CONFIG_HOME", dir.createDir("home/.config")},
        {"XDG_DATA_HOME", dataHome},
        {"XDG_CACHE_HOME", dir.createDir("home/.cache")},
        {"XDG_RUNTIME_DIR", runtime},
        {"TMPDIR", dir.createDir("tmp")},
        // A prefix without the Windows programs.
        {"WINEPREFIX", dir.file("home/.wine")},
    };
    for (const auto &[name, value] : folders)
        env_.push_back(std::make_unique<TEnvGuard>(name, value));
    capture = std::make_unique<TAlsaCapture>(dir.createDir("sound"));
    // The player reads the sound configuration when it is made.
    FreeWavePlayer();
}

Workflow::~Workflow()
{
    form.reset();
    FreeWavePlayer();
    DestroyCatalogue();
}

void Workflow::configureReturningUser()
{
    const TReturningUser user = ConfigureReturningUser(dir);
    modPacker = user.modPacker;
    reBirth = user.reBirth;
}

TModwrightForm &Workflow::startProgram()
{
    form = CreateMainWindow(TStartOptions{});
    form->ShowForStartup();
    EXPECT_TRUE(WaitUntil([this] { return form->StartupSecondHalfDone(); }));
    return *form;
}

void Workflow::dismissSplash()
{
    if (TSplashForm1 *splash = TSplashForm1::Current()) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(splash, &press);
    }
    EXPECT_TRUE(WaitUntil([this] { return form->StartupChecksDone(); }));
}

QRgb Workflow::PanelColour(int panelIndex)
{
    return qRgb(40 + panelIndex * 13, 200 - panelIndex * 11, 90 + panelIndex * 7);
}

QByteArray Workflow::DrumSamples(int drumIndex)
{
    return AsStereo(MonoDrum(drumIndex));
}

QString Workflow::makeComponentFolder()
{
    const QString folder = dir.createDir("components");
    CreateCatalogue();
    for (int image = 0; image < ImageCount; ++image) {
        const TImageRecord &record = ImageRecord(image);
        QImage picture(record.width, record.height, QImage::Format_RGB888);
        const bool panel = ImageKindOf(image) == ikPanel;
        picture.fill(panel ? QColor(PanelColour(KindIndexOf(image))) : QColor(30, 30, 30 + image));
        const QString base = QString::fromLatin1(record.fileName).section('.', 0, 0);
        EXPECT_TRUE(picture.save(folder + "/" + base + ".bmp", "BMP"));
    }
    for (int drum = 0; drum < DrumCount; ++drum) {
        const QString base = QString::fromLatin1(DrumTable[size_t(drum)].fileName).section('.', 0, 0);
        dir.createFile("components/" + base + ".wav", WavFile16(MonoDrum(drum), 1));
    }
    return folder;
}

void Workflow::autoAssign(int tab, const QString &folder)
{
    form->SetActiveTab(tab);
    form->Browser(tab)->SetDirectory(folder);
    ASSERT_TRUE(WaitUntil([&] { return QDir(form->Browser(tab)->RealDirectory()) == QDir(folder); }));
    form->UpdateCommands();
    ASSERT_TRUE(form->AutoAssign1->isEnabled());
    // The messages window lists what was assigned; every component has a good file.
    bool messages = false;
    QStringList lines;
    auto closer = WhenShown<TErrForm>(
        [&lines](TErrForm &box) {
            lines = box.Lines();
            box.BClose->click();
        },
        messages);
    form->AutoAssign1->trigger();
    ASSERT_TRUE(WaitUntil([&] { return messages; }));
    for (const QString &line : lines)
        EXPECT_TRUE(line.isEmpty() || line.startsWith("Info: Assigned ")) << line.toStdString();
}

QString Workflow::storedValue(const char *name) const
{
    TRegIniFile config(TRegRoot::CurrentUser, ConfigKey);
    return QString::fromStdString(config.ReadString(TMainSettings::Section, name, ""));
}

std::vector<std::pair<QString, QByteArray>> Workflow::Snapshot(const QString &folder)
{
    std::vector<std::pair<QString, QByteArray>> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.emplace_back(path, TTestDir::readAll(path));
    }
    std::sort(files.begin(), files.end());
    return files;
}
