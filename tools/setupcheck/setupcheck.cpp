// setupcheck [--json] PACKAGE_FOLDER
// Exit status: 0 without errors (warnings allowed), 1 with errors, 2 on bad usage.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "PackageCheck.h"
#include "PackagePlatform.h"

#ifndef _WIN32
#include <cstdlib>
#include <unistd.h>

#include "platform/sim/SimMachine.h"
#endif

namespace fs = std::filesystem;

namespace {

void Print(const std::string& text, FILE* to = stdout) { std::fwrite(text.data(), 1, text.size(), to); }

std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

const char kUsage[] = "usage: setupcheck [--json] PACKAGE_FOLDER\n"
                      "Reads the package (Setup.ini, texts, pictures, licences, payload) as Setup.exe would, for each\n"
                      "of its 34 languages, and lists errors and warnings. Exit status 1 when there are errors.\n";

#ifndef _WIN32
// On Linux the package is read through a simulated Windows machine made for this run,
// whose drive C: holds the package as C:\Package.
class ScratchMachine {
public:
    explicit ScratchMachine(const fs::path& package)
    {
        std::string pattern = (fs::temp_directory_path() / "setupcheck.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        folder_ = pattern;
        machine_ = std::make_unique<SimMachine>(folder_.string());
        std::error_code ec;
        fs::create_directory_symlink(package, folder_ / "drive_c" / "Package", ec);
        if (ec)
            machine_.reset();
    }
    ~ScratchMachine()
    {
        machine_.reset();
        if (folder_.empty())
            return;
        std::error_code ec;
        // The link first, so that nothing below it is ever touched.
        fs::remove(folder_ / "drive_c" / "Package", ec);
        fs::remove_all(folder_, ec);
    }
    IPlatform* Machine() { return machine_.get(); }

private:
    fs::path folder_;
    std::unique_ptr<SimMachine> machine_;
};
#endif

int Run(const std::vector<fs::path>& args)
{
    bool json = false;
    fs::path package;
    for (const fs::path& arg : args) {
        const std::string a = Utf8(arg);
        if (a == "--json")
            json = true;
        else if (a == "-h" || a == "--help") {
            Print(kUsage);
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            Print("setupcheck: unknown option " + a + "\n" + kUsage, stderr);
            return 2;
        } else if (package.empty())
            package = arg;
        else {
            Print(kUsage, stderr);
            return 2;
        }
    }
    if (package.empty()) {
        Print(kUsage, stderr);
        return 2;
    }
    std::error_code ec;
    const fs::path absolute = fs::absolute(package, ec).lexically_normal();
    const std::string shown = Utf8(package);
    if (ec || !fs::is_directory(absolute, ec)) {
        Print("setupcheck: " + shown + " is not a folder\n", stderr);
        return 2;
    }
#ifdef _WIN32
    IPlatform& inner = Platform();
    UString folder = FromWide(absolute.wstring());
    if (folder.empty() || folder.back() != u'\\')
        folder += u'\\';
#else
    ScratchMachine scratch(absolute);
    if (!scratch.Machine()) {
        Print("setupcheck: cannot make a scratch machine in " + fs::temp_directory_path().string() + "\n", stderr);
        return 2;
    }
    IPlatform& inner = *scratch.Machine();
    const UString folder = u"C:\\Package\\";
#endif
    PackagePlatform platform(inner, folder);
    const PackageReport report = CheckPackage(platform, shown);
    Print(json ? FormatJson(report) : FormatText(report));
    return report.Count(Severity::Error) > 0 ? 1 : 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    std::vector<fs::path> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return Run(args);
}
#else
int main(int argc, char** argv)
{
    std::vector<fs::path> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return Run(args);
}
#endif
