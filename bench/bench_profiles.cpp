// Costs of the profile file and the registry store on the paths the program
// uses: loading and saving one assignment (about 110 keys) in a file holding
// many, and writing the configuration store at close.
#include "platform/MemIniFile.h"
#include "platform/RegIniFile.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// An assignment file with the given number of assignments of 110 keys each.
std::string AssignmentFileText(int assignments)
{
    TMemIniFile ini;
    for (int a = 1; a <= assignments; ++a) {
        const std::string name = "Mod number " + std::to_string(a);
        ini.WriteString("Assignments", "Assignment" + std::to_string(a), name);
        for (int k = 0; k < 105; ++k)
            ini.WriteString("Ass." + name, "Component " + std::to_string(k),
                            "/home/user/Mods/" + name + "/component" + std::to_string(k) + ".bmp");
        for (const char *text : {"ModName", "WWW", "FTP", "DemoSong", "Comments"})
            ini.WriteString("Ass." + name, text, "text");
    }
    return ini.Text();
}

std::string TempFolder()
{
    char pattern[] = "/tmp/mwbenchXXXXXX";
    const char *folder = ::mkdtemp(pattern);
    return folder ? folder : "/tmp";
}

void BM_AssignmentLoad(benchmark::State &state)
{
    const std::string text = AssignmentFileText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TMemIniFile ini;
        ini.SetText(text);
        for (int k = 0; k < 110; ++k)
            benchmark::DoNotOptimize(
                ini.ReadString("Ass.Mod number 1", "Component " + std::to_string(k), ""));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AssignmentLoad)->Arg(1)->Arg(50);

void BM_AssignmentSaveInMemory(benchmark::State &state)
{
    TMemIniFile ini;
    ini.SetText(AssignmentFileText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        ini.EraseSection("Ass.Mod number 1");
        for (int k = 0; k < 110; ++k)
            ini.WriteString("Ass.Mod number 1", "Component " + std::to_string(k), "/home/user/x.bmp");
        benchmark::DoNotOptimize(ini.Text());
    }
}
BENCHMARK(BM_AssignmentSaveInMemory)->Arg(1)->Arg(50);

// Dominated by fsync of the file and its folder: the price of a save that
// survives a crash.
void BM_AssignmentUpdateFile(benchmark::State &state)
{
    const std::string folder = TempFolder();
    TMemIniFile ini(folder + "/Assignments.ini");
    ini.SetText(AssignmentFileText(static_cast<int>(state.range(0))));
    int i = 0;
    for (auto _ : state) {
        ini.WriteString("Assignments", "Assignment1", std::to_string(++i));
        ini.UpdateFile();
    }
    std::system(("rm -rf " + folder).c_str());
}
BENCHMARK(BM_AssignmentUpdateFile)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_RegistryWriteOneValue(benchmark::State &state)
{
    const std::string folder = TempFolder();
    auto store = std::make_shared<TRegistryStore>(TRegRoot::CurrentUser, folder + "/HKEY_CURRENT_USER.reg");
    TRegIniFile config(store, "Software\\Talwen\\Modwright for ReBirth 2");
    int i = 0;
    for (auto _ : state)
        config.WriteInteger("Current", "Splitter0", ++i);
    std::system(("rm -rf " + folder).c_str());
}
BENCHMARK(BM_RegistryWriteOneValue)->Unit(benchmark::kMillisecond);

// SaveSettings writes about seventy values; gathered, they cost one write.
void BM_RegistrySaveSettingsGathered(benchmark::State &state)
{
    const std::string folder = TempFolder();
    auto store = std::make_shared<TRegistryStore>(TRegRoot::CurrentUser, folder + "/HKEY_CURRENT_USER.reg");
    TRegIniFile config(store, "Software\\Talwen\\Modwright for ReBirth 2");
    int round = 0;
    for (auto _ : state) {
        config.BeginUpdate();
        for (int k = 0; k < 70; ++k)
            config.WriteInteger("Current", "Value" + std::to_string(k), round + k);
        config.EndUpdate();
        ++round;
    }
    std::system(("rm -rf " + folder).c_str());
}
BENCHMARK(BM_RegistrySaveSettingsGathered)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
