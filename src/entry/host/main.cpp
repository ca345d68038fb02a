// The host program: the setup on a simulated Windows machine (the folder named by
// SETUP_MACHINE) with the headless form toolkit. SETUP_SCRIPT may name a host file
// of user steps (see ScriptRunner.h), played as the person at the screen; what the
// user did and saw goes to standard error.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/App.h"
#include "forms/Setupprogram.h"
#include "toolkit/headless/ScriptRunner.h"

namespace {

// The user of SETUP_SCRIPT; none when it is not set. A script that cannot be read or
// has a line that is no step ends the program before it starts.
bool LoadScriptedUser(std::unique_ptr<headless::ScriptRunner>& user)
{
    const char* file = std::getenv("SETUP_SCRIPT");
    if (!file || !*file)
        return true;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "setup: cannot read the script %s\n", file);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<UString> errors;
    std::vector<headless::ScriptStep> steps = headless::ParseScript(FromUtf8(text.str()), errors);
    for (const UString& error : errors)
        std::fprintf(stderr, "setup: %s: %s\n", file, ToUtf8(error).c_str());
    if (!errors.empty())
        return false;
    user = std::make_unique<headless::ScriptRunner>(
        std::move(steps), [](const UString& line) { std::fprintf(stderr, "%s\n", ToUtf8(line).c_str()); });
    headless::SetScriptedUser(user.get());
    return true;
}

}  // namespace

int main()
{
    const char* machine = std::getenv("SETUP_MACHINE");
    if (!machine || !*machine) {
        std::fputs("setup: set SETUP_MACHINE to the folder of a simulated Windows machine\n", stderr);
        return 2;
    }
    std::unique_ptr<headless::ScriptRunner> user;
    if (!LoadScriptedUser(user))
        return 2;
    ConstructApp();
    TSetupRunOptions options;
    const char* end = std::getenv(kEndAfterFormsVariable);
    options.endAfterForms = end && *end;
    const int result = RunSetupProgram(options);
    headless::SetScriptedUser(nullptr);
    return result;
}
