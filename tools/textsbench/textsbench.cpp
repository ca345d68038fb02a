// Reading texts at their sizes' upper end, on the simulated machine in a folder of
// /dev/shm: the text workbook loaded into the text table as start-up does, a
// Setup.ini of many sections, and an INI text file of many keys. Each runs at four
// sizes doubling; Google Benchmark fits the growth ("BigO"), which is N for a
// reader whose look-ups do not scan what was read before.
//
//   textsbench [--benchmark_filter=Workbook]
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "language/Language_management.h"
#include "platform/sim/SimMachine.h"
#include "toolkit/MemIniFile.h"

namespace {

std::string HostFolder()
{
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/textsbench-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

// One machine for the whole run, removed at the end.
struct Machine {
    Machine() : folder(HostFolder()), machine(std::make_unique<SimMachine>(folder)) { SetPlatform(machine.get()); }
    ~Machine()
    {
        SetPlatform(nullptr);
        machine.reset();
        std::filesystem::remove_all(folder);
    }
    std::string folder;
    std::unique_ptr<SimMachine> machine;
};

Machine& TheMachine()
{
    static Machine m;
    return m;
}

void Put(const UString& path, const std::string& bytes)
{
    SimMachine& m = *TheMachine().machine;
    m.MakeFolders(path.substr(0, path.rfind(u'\\')));
    if (!m.WriteWholeFile(path, bytes)) {
        std::fprintf(stderr, "textsbench: cannot write %s\n", ToUtf8(path).c_str());
        std::exit(1);
    }
}

// Ident, English and German columns; a section row, then the keys, as a sheet of
// one form's texts written long.
std::string Workbook(long rows)
{
    const std::string path = TheMachine().folder + "/book.xlsx";
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Install");
    worksheet_write_string(sheet, 0, 0, "Ident", nullptr);
    worksheet_write_string(sheet, 0, 1, "English", nullptr);
    worksheet_write_string(sheet, 0, 2, "German", nullptr);
    worksheet_write_string(sheet, 1, 0, "[Installform]", nullptr);
    for (long r = 2; r <= rows; ++r) {
        const auto row = static_cast<lxw_row_t>(r);
        const std::string n = std::to_string(r);
        worksheet_write_string(sheet, row, 0, ("Label_" + n).c_str(), nullptr);
        worksheet_write_string(sheet, row, 1, ("Text " + n).c_str(), nullptr);
        worksheet_write_string(sheet, row, 2, ("Satz " + n).c_str(), nullptr);
    }
    workbook_close(book);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::filesystem::remove(path);
    return bytes.str();
}

void BM_WorkbookTexts(benchmark::State& state)
{
    const UString path = u"C:\\Texts\\File" + IntToStr(state.range(0)) + u".xlsx";
    const std::string bytes = Workbook(state.range(0));
    Put(path, bytes);
    for (auto _ : state) {
        TMemIniFile table;
        LoadWorkbookTexts(table, path, u"German", u"Install");
        if (table.ReadString(u"Installform", u"label_2", u"") != u"Satz 2") {
            state.SkipWithError("the workbook's texts did not load");
            break;
        }
    }
    state.counters["KiB"] = static_cast<double>(bytes.size()) / 1024;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WorkbookTexts)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_SetupIniSections(benchmark::State& state)
{
    const UString path = u"C:\\Package\\Setup" + IntToStr(state.range(0)) + u".ini";
    std::string text;
    for (long i = 0; i < state.range(0); ++i)
        text += "[Shortcut" + std::to_string(i) + "]\r\n%LINK=C:\\Program Files\\Pellimo\\Tool" + std::to_string(i) +
                ".exe\r\n";
    Put(path, text);
    for (auto _ : state) {
        TMemIniFile ini(path);
        if (!ini.SectionExists(u"shortcut0")) {
            state.SkipWithError("Setup.ini did not load");
            break;
        }
    }
    state.counters["KiB"] = static_cast<double>(text.size()) / 1024;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SetupIniSections)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_IniTextKeys(benchmark::State& state)
{
    const UString folder = u"C:\\Texts" + IntToStr(state.range(0));
    std::string text = "[Installform]\r\n";
    for (long i = 0; i < state.range(0); ++i)
        text += "Label_" + std::to_string(i) + "=Text " + std::to_string(i) + "@RETURN@more\r\n";
    Put(folder + u"\\LanguageIni_File\\English\\Install_English.ini", text);
    for (auto _ : state) {
        TMemIniFile table;
        const UString error = LoadIniTexts(table, folder + u"\\File.xlsx", u"English", u"Install");
        if (!error.empty() || !table.ValueExists(u"Installform", u"label_0")) {
            state.SkipWithError("the INI text file did not load");
            break;
        }
    }
    state.counters["KiB"] = static_cast<double>(text.size()) / 1024;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_IniTextKeys)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TheMachine();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
