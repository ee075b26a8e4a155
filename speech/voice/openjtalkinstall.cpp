#include "openjtalkinstall.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace hiragana {

namespace {
namespace fs = std::filesystem;

constexpr std::string_view ProgramName = "open_jtalk";
// The voice preferred where several are installed: the one Debian packages.
constexpr std::string_view PreferredVoice = "nitech_jp_atr503_m001.htsvoice";

bool IsFile(const fs::path &path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::optional<fs::path> FindProgram()
{
    const char *path = std::getenv("PATH");
    std::string_view folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t colon = std::min(folders.find(':'), folders.size());
        const fs::path candidate = fs::path(folders.substr(0, colon)) / ProgramName;
        if (colon > 0 && IsFile(candidate) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        folders.remove_prefix(std::min(colon + 1, folders.size()));
    }
    return std::nullopt;
}

// The shared-data folders to look in: the system's, then the one beside the program.
std::vector<fs::path> DataFolders(const fs::path &program)
{
    std::vector<fs::path> folders{"/usr/share", "/usr/local/share"};
    const fs::path beside = program.parent_path().parent_path() / "share";
    if (std::find(folders.begin(), folders.end(), beside) == folders.end())
        folders.push_back(beside);
    return folders;
}

std::optional<fs::path> FindDictionary(const fs::path &program)
{
    std::vector<fs::path> candidates{"/var/lib/mecab/dic/open-jtalk/naist-jdic"};
    for (const fs::path &data : DataFolders(program)) {
        candidates.push_back(data / "open-jtalk/dic");
        candidates.push_back(data / "open_jtalk/dic");
    }
    const auto found = std::find_if(candidates.begin(), candidates.end(),
                                    [](const fs::path &folder) { return IsFile(folder / "sys.dic"); });
    return found == candidates.end() ? std::nullopt : std::optional(*found);
}

// Voices lie one folder deep under hts-voice; the preferred one wins, else the first by name.
std::optional<fs::path> FindVoice(const fs::path &program)
{
    std::vector<fs::path> voices;
    for (const fs::path &data : DataFolders(program)) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(data / "hts-voice", error), end; !error && it != end;
             it.increment(error)) {
            if (it.depth() == 1)
                it.disable_recursion_pending();
            if (it->path().extension() == ".htsvoice" && IsFile(it->path()))
                voices.push_back(it->path());
        }
    }
    std::sort(voices.begin(), voices.end());
    const auto preferred = std::find_if(voices.begin(), voices.end(),
                                        [](const fs::path &voice) { return voice.filename() == PreferredVoice; });
    if (preferred != voices.end())
        return *preferred;
    return voices.empty() ? std::nullopt : std::optional(voices.front());
}
} // namespace

std::vector<std::string> OpenJtalkInstall::Arguments() const
{
    return {"-x", dictionary.string(), "-m", voice.string(), "-s", std::to_string(OpenJtalkSampleRate),
            "-ow", "/dev/stdout"};
}

std::optional<OpenJtalkInstall> FindOpenJtalk()
{
    const std::optional<fs::path> program = FindProgram();
    if (!program)
        return std::nullopt;
    const std::optional<fs::path> dictionary = FindDictionary(*program);
    const std::optional<fs::path> voice = FindVoice(*program);
    if (!dictionary || !voice)
        return std::nullopt;
    return OpenJtalkInstall{*program, *dictionary, *voice};
}

} // namespace hiragana
