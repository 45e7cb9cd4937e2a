// A throwaway update site on the loopback interface, for the update tests and the
// download benchmark: make_site.sh makes its certificates and signing key in a folder of
// the caller's, https_site.py serves that folder's "root" over HTTPS on one port per
// certificate (see there) until this object ends.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace arti::loopback {

class Site {
public:
    // `scripts`: the folder of make_site.sh and https_site.py; `dir`: an empty folder.
    Site(const std::filesystem::path& scripts, const std::filesystem::path& dir) : dir_(dir) {
        run("'" + (scripts / "make_site.sh").string() + "' '" + dir.string() + "'");
        std::filesystem::create_directories(root());
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[1]);
            close(out[0]);
            const std::string script = (scripts / "https_site.py").string();
            execlp("python3", "python3", script.c_str(), root().c_str(), dir.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        stdin_ = in[1];
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        close(out[0]);
        std::istringstream words(line);
        for (std::string w; words >> w;) {
            const auto eq = w.find('=');
            if (eq != std::string::npos) ports_[w.substr(0, eq)] = std::stoi(w.substr(eq + 1));
        }
        if (!ports_.count("good")) throw std::runtime_error("the loopback site did not start: " + line);
    }
    ~Site() {
        if (stdin_ >= 0) close(stdin_); // the server ends when its input closes
        if (pid_ > 0) {
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    Site(const Site&) = delete;
    Site& operator=(const Site&) = delete;

    // "good", "expired", "othername", "rogue", "plain", "closed".
    int port(const std::string& name) const { return ports_.at(name); }
    // "www.localhost:PORT" of that server.
    std::string host(const std::string& name) const { return "www.localhost:" + std::to_string(port(name)); }
    std::filesystem::path root() const { return dir_ / "root"; }
    std::filesystem::path authority() const { return dir_ / "ca.pem"; }
    std::filesystem::path publicKey() const { return dir_ / "minisign.pub"; }

    // Puts a file on the site (`name` relative to the root, folders made as needed).
    void put(const std::string& name, const std::string& bytes) const {
        const auto path = root() / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    // Signs a file of the site with the site's key: name + ".minisig". The trusted comment
    // names what the installer is, "file:ASSetup.exe date:20270115"; an empty one leaves
    // minisign's own ("timestamp:N file:NAME hashed").
    void sign(const std::string& name, const std::string& trustedComment) const {
        const auto path = root() / name;
        std::string command = "minisign -S -s " + quoted((dir_ / "minisign.key").string()) + " -m " +
                              quoted(path.string()) + " -x " + quoted(path.string() + ".minisig");
        if (!trustedComment.empty()) command += " -t " + quoted(trustedComment);
        run(command + " >/dev/null 2>&1 </dev/null");
    }

private:
    // A word for the shell, whatever it holds.
    static std::string quoted(const std::string& word) {
        std::string q = "'";
        for (const char c : word)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }

    static void run(const std::string& command) {
        if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    }

    std::filesystem::path dir_;
    std::map<std::string, int> ports_;
    pid_t pid_ = -1;
    int stdin_ = -1;
};

} // namespace arti::loopback
