// How long the install thread takes to install a payload on the simulated machine,
// through a headless page's label and bar, against `cp -r --preserve=timestamps` of
// the same payload on the same disk, in one run.
//
//   20,000 files of 4 KiB in 400 folders and 10 files of 50 MiB: the ratio of the
//   medians (goal: at most 1.15);
//   2,000, 20,000 and 100,000 small files alone: the time per file of each, which
//   should stay within 25 % (nothing grows faster than the number of files);
//   100,000 small files once more in a child process: its peak resident memory
//   (goal: under 32 MiB; no file's content passes through the program). Set
//   BENCH_NO_PEAK to leave that run out, with --benchmark_filter for instance.

#include <sys/wait.h>
#include <unistd.h>

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
#include "engine/ControlSinks.h"
#include "engine/Installthread.h"
#include "platform/sim/SimMachine.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using namespace bench;

constexpr int kFoldersPer20000 = 400;
constexpr int kLargeFiles = 10;
constexpr size_t kSmallSize = 4 << 10;
constexpr size_t kLargeSize = size_t{50} << 20;
const std::string kPackageHost = "drive_c/Setup";
const std::string kPayloadHost = kPackageHost + "/program files/Prod";
const std::string kTargetHost = "drive_c/Program Files (x86)/Prod";

void WriteFile(const fs::path& path, size_t size, char fill)
{
    std::ofstream out(path, std::ios::binary);
    const std::string block(1 << 16, fill);
    for (size_t left = size; left > 0;) {
        const size_t n = std::min(left, block.size());
        out.write(block.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
}

// The product's payload: small files spread over folders (50 to a folder, as in
// 20,000 over 400), and the large ones at its top.
void WritePayload(const fs::path& root, int smallFiles, int largeFiles)
{
    const int folders = std::max(1, smallFiles * kFoldersPer20000 / 20000);
    for (int folder = 0; folder < folders; ++folder) {
        const fs::path dir = root / ("part" + std::to_string(folder / 20)) / ("group" + std::to_string(folder % 20));
        fs::create_directories(dir);
        for (int file = folder; file < smallFiles; file += folders)
            WriteFile(dir / ("file" + std::to_string(file) + ".dat"), kSmallSize, 'x');
    }
    for (int file = 0; file < largeFiles; ++file)
        WriteFile(root / ("large" + std::to_string(file) + ".bin"), kLargeSize, 'y');
}

int FilesBelow(const fs::path& root)
{
    int files = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        files += it->is_regular_file() ? 1 : 0;
    return files;
}

// A simulated machine with the setup package in C:\Setup and App as the
// preparation form leaves it for an installation.
struct Package {
    Package(int smallFiles, int largeFiles)
        : folder(TempFolder("bench-install-machine")), machine(std::make_unique<SimMachine>(folder))
    {
        previous = SetPlatform(machine.get());
        const fs::path package = fs::path(folder) / kPackageHost;
        fs::create_directories(package / "program files" / "Old");
        fs::create_directories(package / "program files" / "Updater");
        std::ofstream(package / "Setup.exe") << "MZ setup";
        std::ofstream(package / "program files" / "Old" / "old.dll") << "old";
        std::ofstream(package / "program files" / "Updater" / "Updater.exe") << "updater";
        std::ofstream(package / "Setup.ini") << "[Setup]\r\n%PROGRAM_FILES=Prod\r\n%PROGRAM_FILES_OLD=Old\r\n"
                                                "%UPDATER_DIR=Updater\r\n%PROGRAM_EXEC=Prod.exe\r\n"
                                                "%PUBLISHER=Pub\r\n%REG_FODLER_PROGNAME=ProdReg\r\n"
                                                "%PROGRAM_VERSION=1.0\r\n%PROGRAM_ONBOOT=Prod\r\n";
        WritePayload(fs::path(folder) / kPayloadHost, smallFiles, largeFiles);
        files = smallFiles + largeFiles;
    }
    ~Package()
    {
        App.TextTable.reset();
        App.SetupIni.reset();
        SetPlatform(previous);
        machine.reset();
        fs::remove_all(folder);
    }

    void PrepareApp()
    {
        App.TextTable = std::make_unique<TMemIniFile>();
        App.TextTable->WriteString(u"InstallWizard", u"CopyFiles", u"Copying files");
        App.TextTable->WriteString(u"UNINSTALL", u"LINK_PROGRAMS_FOLDER", u"Prod");
        App.SetupIniPath = u"C:\\Setup\\Setup.ini";
        App.SetupIni = std::make_unique<TMemIniFile>(App.SetupIniPath);
        App.TextSection = u"InstallWizard";
        App.RunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
        App.PrivateKeyTemplate = u"Software\\%PUBLISHER\\%REG_FODLER_PROGNAME\\";
        App.UninstallKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
        App.ProgramFilesDir = u"C:\\Program Files (x86)";
        App.InstallRootDir = App.ProgramFilesDir + u"\\Prod";
        App.InstallDir = App.InstallRootDir + u"\\Prod";
        App.OldInstallDir = App.InstallRootDir + u"\\Old";
        App.ProgramExePath = App.InstallDir + u"\\Prod.exe";
        App.BackupDir.clear();
        App.InstallState = 1;
    }

    // Removes what an earlier installation left, outside the timing.
    void Clear()
    {
        std::error_code ec;
        fs::remove_all(fs::path(folder) / kTargetHost, ec);
        fs::remove_all(fs::path(folder) / "drive_c/ProgramData/Microsoft/Windows/Templates", ec);
    }

    std::string folder;
    std::unique_ptr<SimMachine> machine;
    IPlatform* previous = nullptr;
    int files = 0;
};

// One whole installation; false when it did not finish or left files out.
bool InstallOnce(Package& package, Page& page)
{
    package.PrepareApp();
    page.finished = false;
    auto* thread = new TInstallThread(true, page.form->Handle(), page.label, page.bar);
    std::shared_ptr<TThreadControl> control = thread->Control();
    thread->Start();
    if (!headless::RunUntil([&] { return page.finished && control->Finished(); }, std::chrono::minutes(30)))
        return false;
    return FilesBelow(fs::path(package.folder) / kTargetHost / "Prod") == package.files;
}

void BM_InstallThread(benchmark::State& state)
{
    Package package(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Page page(kInstallThreadFinished);
    double cpu = 0;
    for (auto _ : state) {
        package.Clear();
        const double cpuStart = CpuSeconds(RUSAGE_SELF);
        const Clock::time_point start = Clock::now();
        if (!InstallOnce(package, page)) {
            state.SkipWithError("the installation did not finish or left files out");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        cpu += CpuSeconds(RUSAGE_SELF) - cpuStart;
    }
    state.counters["files"] = package.files;
    state.counters["cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
}

void BM_CpR(benchmark::State& state)
{
    const std::string folder = TempFolder("bench-install-cp");
    const fs::path payload = fs::path(folder) / "payload";
    const fs::path target = fs::path(folder) / "target";
    const int files = static_cast<int>(state.range(0) + state.range(1));
    WritePayload(payload, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    double cpu = 0;
    for (auto _ : state) {
        std::error_code ec;
        fs::remove_all(target, ec);
        const bool copied =
            TimeChild(state, {"cp", "-r", "--preserve=timestamps", payload.c_str(), target.c_str()}, cpu);
        if (!copied || FilesBelow(target) != files) {
            state.SkipWithError("cp -r failed");
            break;
        }
    }
    state.counters["files"] = files;
    state.counters["cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
    fs::remove_all(folder);
}

// One installation per repetition, the repetitions of all interleaved (see main), so
// that a busy disk or processor weighs on each alike; medians are compared.
constexpr int kRepetitions = 5;
void Payloads(benchmark::internal::Benchmark* b)
{
    b->Args({20000, kLargeFiles})->Args({2000, 0})->Args({20000, 0})->Args({100000, 0});
    b->ArgNames({"small", "large"});
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kRepetitions);
    b->ReportAggregatesOnly(true);
}
BENCHMARK(BM_InstallThread)->Apply(Payloads);
BENCHMARK(BM_CpR)->Apply(Payloads);

// Peak resident memory, in KiB, of a fresh process that installs that payload once.
long PeakKiBOfInstall(int smallFiles)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        long peak = -1;
        {
            Package package(smallFiles, 0);
            Page page(kInstallThreadFinished);
            if (InstallOnce(package, page)) {
                rusage usage{};
                ::getrusage(RUSAGE_SELF, &usage);
                peak = usage.ru_maxrss;
            }
        }
        const ssize_t written = ::write(fds[1], &peak, sizeof peak);
        ::_exit(written == sizeof peak ? 0 : 1);
    }
    ::close(fds[1]);
    long peak = -1;
    if (::read(fds[0], &peak, sizeof peak) != sizeof peak)
        peak = -1;
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return peak;
}

}  // namespace

int main(int argc, char** argv)
{
    // Measured first, before the benchmark library has started anything.
    const long peakKiB = std::getenv("BENCH_NO_PEAK") ? -1 : PeakKiBOfInstall(100000);
    std::vector<char*> args = InterleavedArguments(argc, argv);
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double install = reporter.Seconds("BM_InstallThread/small:20000/large:10");
    const double cp = reporter.Seconds("BM_CpR/small:20000/large:10");
    if (install > 0 && cp > 0)
        std::printf(
            "20,000 small and 10 large files: install %.0f ms, cp -r %.0f ms, ratio %.2f (goal: at most 1.15)\n",
            install * 1000, cp * 1000, install / cp);
    else
        std::printf("ratio: not measured (run both benchmarks of the mixed payload)\n");
    double fewest = 0, most = 0;
    for (int files : {2000, 20000, 100000}) {
        const double seconds = reporter.Seconds("BM_InstallThread/small:" + std::to_string(files) + "/large:0");
        if (seconds <= 0)
            continue;
        const double perFile = seconds * 1e6 / files;
        std::printf("%d small files: install %.0f ms, %.1f us per file\n", files, seconds * 1000, perFile);
        fewest = fewest == 0 ? perFile : std::min(fewest, perFile);
        most = std::max(most, perFile);
    }
    if (fewest > 0)
        std::printf("time per file: the slowest is %.0f %% above the fastest (goal: within 25 %%)\n",
                    (most / fewest - 1) * 100);
    std::printf("peak memory installing 100,000 files: %ld KiB (goal: under 32 MiB)\n", peakKiB);
    return 0;
}
