// Loads a text workbook of 5,000 rows and 14 language columns (shared strings, as
// Excel writes them) with our reader and with python3-openpyxl in read-only mode,
// and prints the time and peak memory of each and the ratio of the times.
//
//   xlsxbench [rows]
//
// Times are CPU times, so that a busy machine does not blur them: "first" is the
// first load in a fresh process (as start-up does it), "best" the best of several
// loads in one process. Peak memory is the high-water mark of the resident set of
// a fresh process that loads once, beside that of the same process loading nothing.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "language/XlsxReader.h"

extern char** environ;

namespace {

const char* const kLanguages[] = {"ChineseT", "ChineseS", "English", "Russian",    "German",  "Turkish",  "Dutch",
                                  "French",   "Italian",  "Polish",  "Portuguese", "Spanish", "Japanese", "Korean"};

// Prints: first-load CPU ms, best CPU ms, rows, peak resident KiB.
const char* kOpenpyxl = R"(
import sys, time
import openpyxl
def peak():
    for line in open("/proc/self/status"):
        if line.startswith("VmHWM:"):
            return int(line.split()[1])
    return 0
path, rounds = sys.argv[1], int(sys.argv[2])
times = []
for _ in range(rounds):
    t = time.process_time()
    wb = openpyxl.load_workbook(path, read_only=True)
    rows = [["" if v is None else str(v) for v in row] for row in wb["Install"].iter_rows(values_only=True)]
    wb.close()
    times.append((time.process_time() - t) * 1000)
    if len(times) == 1:
        first_peak = peak()
print(times[0], min(times), len(rows), first_peak)
)";

const char* kOpenpyxlIdle = R"(
import openpyxl
for line in open("/proc/self/status"):
    if line.startswith("VmHWM:"):
        print(0, 0, 0, int(line.split()[1]))
)";

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long PeakKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

void WriteWorkbook(const std::string& path, int rows)
{
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Install");
    worksheet_write_string(sheet, 0, 0, "Ident", nullptr);
    for (int c = 0; c < 14; ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c + 1), kLanguages[c], nullptr);
    for (int r = 1; r <= rows; ++r) {
        const bool section = r % 250 == 1;
        std::string ident = section ? "[Section" + std::to_string(r / 250) + "]" : "Key_" + std::to_string(r);
        worksheet_write_string(sheet, static_cast<lxw_row_t>(r), 0, ident.c_str(), nullptr);
        if (section)
            continue;
        for (int c = 0; c < 14; ++c) {
            std::string text = std::string(kLanguages[c]) + " text of row " + std::to_string(r) +
                               ", as long as a label's caption usually is.";
            worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c + 1), text.c_str(),
                                   nullptr);
        }
    }
    workbook_close(book);
}

// Reads the file and the sheet as start-up does; returns the rows read.
size_t LoadOnce(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    XlsxSheet sheet;
    UString error = ReadXlsxSheet(bytes.str(), u"Install", sheet);
    if (!error.empty()) {
        std::fprintf(stderr, "xlsxbench: %s\n", ToUtf8(error).c_str());
        std::exit(1);
    }
    return sheet.RowCount();
}

struct Run {
    bool ok = false;
    double first = 0, best = 0;
    long rows = 0, peak = 0;
};

// Runs a child that prints "first best rows peak".
Run RunChild(std::vector<std::string> args)
{
    Run run;
    int fds[2];
    if (pipe(fds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    char buf[256];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    if (!started)
        return run;
    int status = 0;
    waitpid(pid, &status, 0);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
             std::sscanf(out.c_str(), "%lf %lf %ld %ld", &run.first, &run.best, &run.rows, &run.peak) == 4;
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--load") {
        double t = CpuMs();
        size_t rows = LoadOnce(argv[2]);
        t = CpuMs() - t;
        std::printf("%f %f %zu %ld\n", t, t, rows, PeakKiB());
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--idle") {
        std::printf("0 0 0 %ld\n", PeakKiB());
        return 0;
    }
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    const std::string path =
        (std::filesystem::temp_directory_path() / ("xlsxbench-" + std::to_string(getpid()) + ".xlsx")).string();
    WriteWorkbook(path, rows);

    double best = 1e300;
    size_t read = 0;
    for (int i = 0; i < 20; ++i) {
        double t = CpuMs();
        read = LoadOnce(path);
        best = std::min(best, CpuMs() - t);
    }
    const Run first = RunChild({self, "--load", path});
    const Run idle = RunChild({self, "--idle"});
    std::printf("workbook: %d rows x 15 columns (shared strings), %llu bytes\n", rows,
                static_cast<unsigned long long>(std::filesystem::file_size(path)));
    std::printf("our reader:         first %8.1f ms, best %7.1f ms CPU, %zu rows; peak %ld KiB (idle %ld KiB)\n",
                first.first, best, read, first.peak, idle.peak);

    const Run py = RunChild({"/usr/bin/python3", "-c", kOpenpyxl, path, "3"});
    const Run pyIdle = RunChild({"/usr/bin/python3", "-c", kOpenpyxlIdle});
    if (!py.ok) {
        std::printf("openpyxl: not available (install python3-openpyxl)\n");
    } else {
        std::printf("openpyxl read-only: first %8.1f ms, best %7.1f ms CPU, %ld rows; peak %ld KiB (idle %ld KiB)\n",
                    py.first, py.best, py.rows, py.peak, pyIdle.peak);
        std::printf("ratio: our reader is %.1f times faster than openpyxl (best against best), %.1f times on "
                    "the first load\n",
                    py.best / best, py.first / first.first);
    }
    std::filesystem::remove(path);
    return 0;
}
