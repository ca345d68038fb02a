#pragma once
// What the engine benchmarks share: processor time, a fresh temporary folder, a
// timed child program, a headless progress page that notes its worker's finish message, and a reporter
// that keeps the median of each run beside printing it.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/headless/Headless.h"

namespace bench {

// Processor time, user and system, of this process's threads (RUSAGE_SELF) or of
// its waited-for children (RUSAGE_CHILDREN).
inline double CpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline std::string TempFolder(const char* name)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

// Runs a program to its end: its wall time goes to the benchmark's iteration time,
// its processor time is added to `cpu`; false when it did not exit with 0.
inline bool TimeChild(benchmark::State& state, std::vector<const char*> argv, double& cpu)
{
    argv.push_back(nullptr);
    const double cpuStart = CpuSeconds(RUSAGE_CHILDREN);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(argv[0], const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return false;
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    cpu += CpuSeconds(RUSAGE_CHILDREN) - cpuStart;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A progress page as far as a worker sees it: a status line of fixed size, as the
// pages have, and a bar; `finished` turns true when the registered message comes.
struct Page {
    explicit Page(const char16_t* finishedMessageName)
    {
        headless::Reset();
        app.Initialize();
        app.CreateForm(form);
        bar = new TProgressBar(form);
        bar->SetParent(form);
        label = new TLabel(form);
        label->SetParent(form);
        label->SetAutoSize(false);
        const uint32_t finishedMessage = RegisterMessage(finishedMessageName);
        form->WindowProc = [this, finishedMessage, saved = form->WindowProc](TMessage& m) {
            if (m.Msg == finishedMessage)
                finished = true;
            else
                saved(m);
        };
    }

    TApplication app;
    TForm* form = nullptr;
    TProgressBar* bar = nullptr;
    TLabel* label = nullptr;
    bool finished = false;
};

// Keeps the median wall time of each run, and its "cpu_ms" counter, by the run's
// name ("function/args").
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            seconds[name] = run.real_accumulated_time / static_cast<double>(run.iterations);
            const auto it = run.counters.find("cpu_ms");
            if (it != run.counters.end())
                cpuSeconds[name] = it->second.value / 1000;
        }
    }
    double Seconds(const std::string& name) const { return Find(seconds, name); }
    double CpuSecondsOf(const std::string& name) const { return Find(cpuSeconds, name); }

private:
    static double Find(const std::map<std::string, double>& values, const std::string& name)
    {
        const auto it = values.find(name);
        return it == values.end() ? 0 : it->second;
    }
    std::map<std::string, double> seconds;
    std::map<std::string, double> cpuSeconds;
};

// Google Benchmark's arguments with the repetitions of all runs interleaved, so that
// a busy disk or processor weighs on each alike.
inline std::vector<char*> InterleavedArguments(int argc, char** argv)
{
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, interleave);
    return args;
}

}  // namespace bench
