#include "RegeditCommand.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RegFile.h"
#include "platform/RegistryStore.h"

namespace kestrane::regedit {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: regedit [--prefix DIR] /e FILE     export the whole registry to FILE\n"
    "       regedit [--prefix DIR] [/i] FILE   import FILE after a confirmation\n"
    "       regedit [--prefix DIR] /s FILE     import FILE without asking\n"
    "       regedit [--prefix DIR] --answered /i FILE\n"
    "                                          import FILE, its questions answered as a caller\n"
    "                                          that presses Enter on the confirmation and closes\n"
    "                                          the completion message would answer them\n"
    "Options may also be written -e, -i, -s or in upper case. The prefix is DIR,\n"
    "else $WINEPREFIX, else ~/.wine.\n";

// "/e", "-E", ...: the option letter in lower case, or 0.
char optionLetter(const std::string& arg) {
    if (arg.size() != 2 || (arg[0] != '/' && arg[0] != '-'))
        return 0;
    const char c = static_cast<char>(arg[1] | 0x20);
    return c == 'e' || c == 'i' || c == 's' ? c : 0;
}

bool readFile(const std::string& file, std::string& bytes, std::string& problem) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        problem = std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    // Read in one go when the size is known; a pipe or a growing file is
    // read on until its end.
    bytes.clear();
    bytes.reserve(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            problem = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

// Writes the file through a temporary file beside it, so that nobody ever
// sees half an export; `fill` hands it its bytes a piece at a time.
bool writeFileAtomically(const std::string& file,
                         const std::function<bool(const std::function<bool(std::string_view)>&)>& fill,
                         std::string& problem) {
    std::string tmp = file + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        problem = std::strerror(errno);
        return false;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0;
    ok = ok && fill([&](std::string_view bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    });
    ok = ok && ::fsync(fd) == 0;
    if (!ok)
        problem = std::strerror(errno);
    ::close(fd);
    if (ok && ::rename(tmp.c_str(), file.c_str()) != 0) {
        problem = std::strerror(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

// The questions answered as a caller that presses Enter on the confirmation
// (its default button, yes) and closes the completion message would answer
// them. No window is shown.
class AnsweredPrompter final : public Prompter {
public:
    bool confirm(const std::string&, const std::string&) override { return true; }
    void inform(const std::string&, const std::string&) override {}
};

}  // namespace


int RegeditCommand::fail(const std::string& message) {
    m_err << "regedit: " << message << '\n';
    return kExitFailure;
}

int RegeditCommand::usage(const std::string& problem) {
    m_err << "regedit: " << problem << '\n' << kUsage;
    return kExitUsage;
}

int RegeditCommand::run(const std::vector<std::string>& args) {
    std::string prefix;
    std::string file;
    bool exporting = false, importing = false, silent = false, answered = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            m_out << kUsage;
            return kExitOk;
        }
        if (arg == "--prefix" || arg.rfind("--prefix=", 0) == 0) {
            if (arg == "--prefix" && i + 1 == args.size())
                return usage("--prefix needs a folder");
            prefix = arg == "--prefix" ? args[++i] : arg.substr(9);
            continue;
        }
        if (arg == "--answered") {
            answered = true;
            continue;
        }
        const char option = optionLetter(arg);
        if (option == 's') {
            silent = true;
            continue;
        }
        if (option == 'e' || option == 'i') {
            (option == 'e' ? exporting : importing) = true;
            if (i + 1 == args.size())
                return usage(arg + " needs a file name");
            if (!file.empty())
                return usage("only one file can be given");
            file = args[++i];
            continue;
        }
        if (arg.size() > 1 && (arg[0] == '-' || (arg[0] == '/' && arg.size() == 2)))
            return usage("unknown option " + arg);
        if (!file.empty())
            return usage(exporting ? "/e exports the whole registry; a key cannot be given"
                                   : "only one file can be given");
        file = arg;
    }
    if (exporting && (importing || silent || answered))
        return usage("/e cannot be combined with /i, /s or --answered");
    if (file.empty())
        return usage("no file given");

    if (prefix.empty())
        prefix = m_env.winePrefix;
    if (prefix.empty()) {
        if (m_env.home.empty())
            return fail("no prefix given, and neither $WINEPREFIX nor $HOME is set");
        prefix = (fs::path(m_env.home) / ".wine").string();
    }
    if (exporting)
        return exportTo(prefix, file);
    if (answered) {
        AnsweredPrompter prompter;
        return importFrom(prefix, file, silent, prompter);
    }
    return importFrom(prefix, file, silent, m_prompter);
}

int RegeditCommand::exportTo(const fs::path& prefix, const std::string& file) {
    auto store = reg::RegistryStore::openPrefix(prefix);
    if (!store)
        return fail(store.error().message);
    std::string problem;
    const reg::RegistryStore& registry = *store.value();
    if (!writeFileAtomically(
            file, [&](const std::function<bool(std::string_view)>& write) { return reg::exportRegistry(registry, write); },
            problem))
        return fail("cannot write " + file + ": " + problem);
    return kExitOk;
}


int RegeditCommand::importFrom(const fs::path& prefix, const std::string& file, bool silent, Prompter& prompter) {
    std::string bytes, problem;
    if (!readFile(file, bytes, problem))
        return fail("cannot import " + file + ": " + problem);
    // A broken file is reported before anyone is asked about it.
    auto parsed = reg::parseRegFile(bytes, file);
    if (!parsed)
        return fail("cannot import " + parsed.error().message);
    bytes = std::string();  // read: only its operations are needed now
    auto store = reg::RegistryStore::openPrefix(prefix);
    if (!store)
        return fail(store.error().message);

    if (!silent && !prompter.confirm(kTitle, "Are you sure you want to add the information in " + file +
                                                   " to the registry of the Wine prefix " + prefix.string() + "?"))
        return fail("nothing was imported.");

    reg::ImportReport report;
    if (auto s = reg::importRegistry(*store.value(), parsed.value(), file, &report); !s)
        return fail("cannot import " + s.error().message);
    if (auto s = store.value()->save(); !s)
        return fail(s.error().message);

    if (!silent) {
        std::ostringstream text;
        text << "The keys and values contained in " << file << " have been successfully added to the registry.";
        if (report.belowLinks)
            text << "\n" << report.belowLinks
                 << " keys below link keys were left out: the keys the links point to hold them.";
        for (const auto& root : report.otherRoots)
            text << "\n" << root << " was left out: the prefix has no such hive.";
        prompter.inform(kTitle, text.str());
    }
    return kExitOk;
}

}  // namespace kestrane::regedit
