#include "support/SimFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string MakeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "setup-sim-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary machine folder");
    return pattern;
}

UString FolderPart(const UString& path)
{
    const auto cut = path.rfind(u'\\');
    return cut == UString::npos ? UString() : path.substr(0, cut);
}

}  // namespace

ScopedSimMachine::ScopedSimMachine(const MachineMaker& make)
    : folder_(MakeTempFolder()), machine_(make ? make(folder_) : std::make_unique<SimMachine>(folder_))
{
    previous_ = SetPlatform(machine_.get());
}

ScopedSimMachine::~ScopedSimMachine()
{
    SetPlatform(previous_);
    machine_.reset();
    if (!std::getenv("SETUP_KEEP_MACHINE")) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
}

void SimFixture::PutFile(const UString& path, const std::string& bytes)
{
    ASSERT_TRUE(machine().MakeFolders(FolderPart(path)));
    ASSERT_TRUE(machine().WriteWholeFile(path, bytes));
}

std::string SimFixture::FileText(const UString& path) { return machine().ReadWholeFile(path).value_or("<missing>"); }

std::map<std::string, std::string> SimFixture::MachineState()
{
    std::map<std::string, std::string> state;
    auto read = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    };
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::filesystem::path(machineFolder()) / "drive_c"))
        state[entry.path().string()] = entry.is_regular_file() ? read(entry.path()) : "<folder>";
    state["<registry>"] = read(machine().RegistryFile());
    return state;
}
