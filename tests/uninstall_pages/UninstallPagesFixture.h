#pragma once
// A product installed on a simulated machine by a first run of the whole program
// (its install pages to the end), then its kept installer copy started as the
// uninstall entry starts it, prepared by the real preparation form up to the page
// the mode leads to, and walked by the test. The machine can hold the uninstall
// thread inside the deletion of one file, so that a test presses Cancel while the
// work runs.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/GatedMachine.h"
#include "support/SimFixture.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

// Where the package installs on the default machine (a 64-bit Windows 10).
namespace installed {
inline constexpr char16_t Root[] = u"C:\\Program Files (x86)\\Ostrel";
inline constexpr char16_t ProgramDir[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel";
inline constexpr char16_t UpdaterDir[] = u"C:\\Program Files (x86)\\Ostrel\\Updater";
inline constexpr char16_t UserMacro[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\mine.txt";
inline constexpr char16_t PublisherMenu[] =
    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brightwater Labs";
inline constexpr char16_t ProgramMenu[] =
    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brightwater Labs\\Ostrel Suite";
inline constexpr char16_t DesktopLink[] = u"C:\\Users\\Public\\Desktop\\Ostrel.lnk";
inline constexpr char16_t PrivateKey[] = u"Software\\Brightwater\\OstrelReg";
inline constexpr char16_t PublisherKey[] = u"Software\\Brightwater";
inline constexpr char16_t UninstallEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OstrelReg";
inline constexpr char16_t RunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
}  // namespace installed

// Notes the forms in the order they were shown.
class ShownForms : public headless::ScriptedUser {
public:
    void OnFormShown(TForm& form) override { names.push_back(form.Name()); }
    std::vector<UString> names;
};

class UninstallPagesTest : public SimFixture {
protected:
    UninstallPagesTest();
    ~UninstallPagesTest() override;

    GatedMachine& machine() { return static_cast<GatedMachine&>(SimFixture::machine()); }
    bool Exists(const UString& path) { return machine().FileExists(path) || machine().DirectoryExists(path); }
    bool KeyExists(RegRoot root, const UString& key) { return machine().RegKeyExists(root, key); }
    bool ValueExists(RegRoot root, const UString& key, const UString& name)
    {
        return machine().RegValueExists(root, key, name);
    }
    void WriteValue(RegRoot root, const UString& key, const UString& name, const UString& value);

    // Installs the package through the install pages of a first run, which then
    // ends; the user's macro is added to the program folder afterwards.
    void InstallProduct();
    // The kept installer copy, as the uninstall entry's UninstallString names it.
    UString KeptInstaller();
    // Starts the kept copy with this first argument and lets the preparation run
    // until it hands over (the first page shows).
    void StartUninstaller(const UString& argument);
    // Handles events until the finish page shows and the worker has ended.
    bool WaitForFinishPage();
    // Holds the worker at the deletion of this payload file, starts the uninstaller
    // (pressing OK on the confirmation, in mode "uninstall") and waits until the
    // worker stands at the gate.
    void StartRemovalHeldAt(const UString& fileName, const UString& argument);
    // Lets the held worker go on to its next safe point, where it pauses.
    void ReleaseIntoPause();

    // The names of the visible forms, the main (transparent) form left out.
    std::vector<UString> Shown();

    std::unique_ptr<TApplication> app;
    ShownForms shownForms;

private:
    void CreateProgram();
};
