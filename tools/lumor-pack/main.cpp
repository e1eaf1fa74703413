// lumor-pack: the level designers' command-line tool over the Lumor core.
#include "command.h"

#include <cerrno>
#include <csignal>
#include <iostream>
#include <map>
#include <streambuf>

#include <fcntl.h>
#include <unistd.h>

namespace lumorpack {

static std::map<std::string, Command>& registry() {
    static std::map<std::string, Command> commands;
    return commands;
}

bool registerCommand(Command command) {
    auto name = command.name;
    registry().emplace(std::move(name), std::move(command));
    return true;
}

}  // namespace lumorpack

static void printUsage(std::ostream& out) {
    out << "Aufruf: lumor-pack BEFEHL ...\n";
    for (const auto& [name, cmd] : lumorpack::registry())
        out << "  lumor-pack " << cmd.usage << '\n';
}

namespace {

// Standard output through a buffer that remembers why writing failed; the library's own
// only tells that it did.
class OutputBuffer : public std::streambuf {
public:
    OutputBuffer() { setp(buf_, buf_ + sizeof buf_); }
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        const char* p = pbase();
        while (p < pptr()) {
            const ssize_t w = ::write(STDOUT_FILENO, p, static_cast<size_t>(pptr() - p));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                if (error_ == 0) error_ = w < 0 ? errno : EIO;
                setp(buf_, buf_ + sizeof buf_);
                return false;
            }
            p += w;
        }
        setp(buf_, buf_ + sizeof buf_);
        return true;
    }

    char buf_[1 << 16];
    int error_ = 0;
};

// Never destroyed: standard output is flushed once more at the very end of the program.
OutputBuffer& output() {
    static auto* buffer = new OutputBuffer;
    return *buffer;
}

}  // namespace

// Whatever a command printed must have reached standard output: a full disk or a closed
// pipe is an error like any other, not a success with half an answer.
static int checkedOutput(int code) {
    std::cout.flush();
    if (std::cout) return code;
    const int error = output().error();
    std::cerr << "lumor-pack: die Ausgabe kann nicht geschrieben werden"
              << (error == ENOSPC || error == EDQUOT ? ": der Datenträger ist voll" : "") << '\n';
    return lumorpack::ExitUsage;
}

static int dispatch(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "help" || std::string(argv[1]) == "--help") {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? lumorpack::ExitUsage : lumorpack::ExitOk;
    }
    const auto it = lumorpack::registry().find(argv[1]);
    if (it == lumorpack::registry().end()) {
        std::cerr << "Unbekannter Befehl: " << argv[1] << '\n';
        printUsage(std::cerr);
        return lumorpack::ExitUsage;
    }
    try {
        return it->second.run(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "Fehler: " << e.what() << '\n';
        return lumorpack::ExitUsage;
    }
}

int main(int argc, char** argv) {
    // A closed standard stream stays taken (by something that refuses writes), so that no
    // file opened later lands on it and receives what was meant for the terminal.
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && ::open("/dev/null", O_RDONLY) != fd) return 2;
    // A reader that went away makes writes fail (and be reported) instead of killing us.
    std::signal(SIGPIPE, SIG_IGN);
    std::cout.rdbuf(&output());
    return checkedOutput(dispatch(argc, argv));
}
