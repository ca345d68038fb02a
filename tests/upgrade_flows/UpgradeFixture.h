#pragma once
// Upgrades on a simulated machine: the product is first installed by a whole run of
// this program from an older package, then the newer package runs. The packages'
// Setup.exe is the host program, so the kept copy that the old uninstall entry names
// (or a copy placed beside it) runs for real as a child process on the same machine.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/SimFixture.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

// Where the package installs on the default machine (a 64-bit Windows 10).
namespace upgraded {
inline constexpr char16_t ProgramFiles[] = u"C:\\Program Files (x86)";
inline constexpr char16_t VersionFile[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\Version.txt";
inline constexpr char16_t UserMacro[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\mine.mac";
inline constexpr char16_t PrivateKeys[] = u"Software\\Brightwater\\";
// The program folder of a product folder name: Program Files\P\P.
inline UString ProgramDir(const std::string& product)
{
    return UString(ProgramFiles) + u"\\" + FromUtf8(product) + u"\\" + FromUtf8(product);
}
inline constexpr char16_t ProgramMenu[] =
    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brightwater Labs\\Ostrel Suite";
inline constexpr char16_t UninstallKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char16_t RunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
}  // namespace upgraded

// A package folder of the machine holding the host program as its Setup.exe.
struct PackageSpec {
    PackageSpec(UString folder, std::string version, std::string programName = "OstrelReg")
        : folder(std::move(folder)), version(std::move(version)), programName(std::move(programName))
    {}
    UString folder;                  // "C:\\Old"
    std::string version;             // %PROGRAM_VERSION and the payload's Version.txt
    std::string programName;         // %REG_FODLER_PROGNAME
    std::string product = "Ostrel";  // %PROGRAM_FILES
    std::string extraSetupLines;
};

class UpgradeTest : public SimFixture {
protected:
    UpgradeTest();
    ~UpgradeTest() override;

    bool Exists(const UString& path) { return machine().FileExists(path) || machine().DirectoryExists(path); }
    bool KeyExists(const UString& key) { return machine().RegKeyExists(RegRoot::LocalMachine, key); }
    UString MachineValue(const UString& key, const UString& name);
    void WriteMachineValue(const UString& key, const UString& name, const UString& value);

    void PutPackage(const PackageSpec& package);
    // Installs the package through the install pages of a whole run, which then
    // ends; the user's macro is added to the program folder afterwards.
    void InstallFrom(const PackageSpec& package);
    // Starts the package's Setup.exe without argument and lets the preparation run
    // up to its decision; message boxes take the answers queued before.
    void StartSetup(const PackageSpec& package);
    // From the welcome page through the licence and Install to Finish.
    void WalkInstallPages();
    // Ends a program left waiting on the preparation form, by its Cancel button.
    void PressPrepareCancel();
    // Forgets the program that ran, for the next one on the same machine.
    void EndProgram();

    // The uninstall entry of a product code, and its kept installer copy.
    UString Entry(const std::string& programName = "OstrelReg");
    UString KeptInstaller(const std::string& programName = "OstrelReg");
    // The names of the visible forms, the main (transparent) form left out.
    std::vector<UString> Shown();
    std::vector<UString> MessageTexts();

    std::unique_ptr<TApplication> app;

private:
    void CreateProgram();
};
