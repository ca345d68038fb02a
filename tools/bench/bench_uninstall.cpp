// How long the uninstall thread takes to remove an installation of 20,000 files on
// the simulated machine, through a headless page's label and bar, against `rm -rf`
// of the same tree on the same disk, in one run. Prints the medians of both, their
// ratio (the goal is at most 1.2) and the processor time of each, which a busy disk
// shared with other work disturbs far less than the wall time.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/App.h"
#include "engine/Uninstallthread.h"
#include "platform/sim/SimMachine.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using namespace bench;

constexpr int kFiles = 20000;
constexpr int kFolders = 100;  // 10 subfolders of 10, each with 200 files
const std::string kRootHost = "drive_c/Program Files (x86)/Prod";

// The installed tree of the product, under root (a host folder): the program
// folder, the updater and the user's data among them, 20,000 files in all.
void WriteTree(const fs::path& root)
{
    const std::string content(512, 'x');
    for (int folder = 0; folder < kFolders; ++folder) {
        const fs::path dir = root / (folder < 50 ? "Prod" : "Updater") / ("part" + std::to_string(folder / 10)) /
                             ("group" + std::to_string(folder % 10));
        fs::create_directories(dir);
        for (int file = 0; file < kFiles / kFolders; ++file) {
            std::ofstream out(dir / ("file" + std::to_string(file) + ".dat"), std::ios::binary);
            out << content;
        }
    }
}

// One simulated machine with the installation's records; the tree is written
// again before each removal.
struct Installation {
    Installation() : folder(TempFolder("bench-uninstall-machine")), machine(std::make_unique<SimMachine>(folder))
    {
        previous = SetPlatform(machine.get());
        App.RunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
        App.UninstallKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
        App.TextTable = std::make_unique<TMemIniFile>();
        App.TextTable->WriteString(u"UNINSTALL", u"LINK_PROGRAMS_FOLDER", u"Prod");
        info.Product = u"Prod";
        info.InstallDir = u"C:\\Program Files (x86)\\Prod";
        info.ExecOnBoot = u"Prod";
        info.UninstRegFolder = u"Prod";
        info.KeyPath = u"Software\\Pub\\Prod\\";
        info.LINK_ProgramsExec = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Pub\\Prod\\Prod.lnk";
        info.LINK_DesktopExec = u"C:\\Users\\Public\\Desktop\\Prod.lnk";
    }
    ~Installation()
    {
        App.TextTable.reset();
        SetPlatform(previous);
        machine.reset();
        fs::remove_all(folder);
    }

    void Lay()
    {
        WriteTree(fs::path(folder) / kRootHost);
        for (const UString& key : {UString(u"Software\\Pub\\Prod"), App.UninstallKey + u"Prod"}) {
            machine->RegOpenKey(RegRoot::LocalMachine, key, KEY_WRITE_MASK, true);
            machine->RegWriteString(RegRoot::LocalMachine, key, u"Product", u"Prod");
        }
        machine->RegOpenKey(RegRoot::CurrentUser, App.RunKey, KEY_WRITE_MASK, true);
        machine->RegWriteString(RegRoot::CurrentUser, App.RunKey, u"Prod", u"prod.exe");
        machine->MakeFolders(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Pub\\Prod");
        machine->WriteWholeFile(info.LINK_ProgramsExec, "link");
        machine->WriteWholeFile(info.LINK_DesktopExec, "link");
    }

    std::string folder;
    std::unique_ptr<SimMachine> machine;
    IPlatform* previous = nullptr;
    UNINSTStruct_INFO info;
};

void BM_UninstallThread(benchmark::State& state)
{
    Installation installation;
    Page page(kUninstallFinishedMessage);
    double cpu = 0;
    for (auto _ : state) {
        installation.Lay();
        page.finished = false;
        const double cpuStart = CpuSeconds(RUSAGE_SELF);
        const Clock::time_point start = Clock::now();
        auto* thread = new TUninstallThread(page.form->Handle(), page.label, page.bar, installation.info);
        thread->Start();
        if (!headless::RunUntil([&] { return page.finished; }, std::chrono::minutes(10))) {
            state.SkipWithError("the uninstall thread did not finish");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        cpu += CpuSeconds(RUSAGE_SELF) - cpuStart;
        int left = 0;
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(installation.folder) / kRootHost))
            left += entry.is_regular_file() ? 1 : 0;
        if (left != 0) {
            state.SkipWithError("files were left behind");
            break;
        }
    }
    state.counters["files"] = kFiles;
    state.counters["cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
}

void BM_RmRf(benchmark::State& state)
{
    const std::string folder = TempFolder("bench-uninstall-rm");
    const fs::path tree = fs::path(folder) / "Prod";
    double cpu = 0;
    for (auto _ : state) {
        WriteTree(tree);
        if (!TimeChild(state, {"rm", "-rf", tree.c_str()}, cpu) || fs::exists(tree)) {
            state.SkipWithError("rm -rf failed");
            break;
        }
    }
    state.counters["files"] = kFiles;
    state.counters["cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
    fs::remove_all(folder);
}

// One removal per repetition, the repetitions of the two interleaved (see main), so
// that a busy disk or processor weighs on both alike; the medians are compared.
constexpr int kRepetitions = 5;
BENCHMARK(BM_UninstallThread)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RmRf)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args = InterleavedArguments(argc, argv);
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double uninstall = reporter.Seconds("BM_UninstallThread");
    const double rm = reporter.Seconds("BM_RmRf");
    if (uninstall <= 0 || rm <= 0) {
        std::printf("ratio: not measured (run both benchmarks)\n");
        return 1;
    }
    const double ratio = uninstall / rm;
    std::printf("uninstall of %d files: %.1f ms, rm -rf: %.1f ms (medians of wall time)\n", kFiles, uninstall * 1000,
                rm * 1000);
    const double cpuUninstall = reporter.CpuSecondsOf("BM_UninstallThread");
    const double cpuRm = reporter.CpuSecondsOf("BM_RmRf");
    if (cpuRm > 0)
        std::printf("processor time: uninstall %.1f ms, rm -rf %.1f ms, ratio %.2f\n", cpuUninstall * 1000,
                    cpuRm * 1000, cpuUninstall / cpuRm);
    std::printf("ratio %.2f (goal: at most 1.2)\n", ratio);
    return 0;
}
