#include "support/XvfbServer.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

std::filesystem::path FindProgram(const std::string& name)
{
    std::istringstream folders(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const auto candidate = std::filesystem::path(folder) / name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::string XvfbServer::Start()
{
    const auto xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) {
        return "Xvfb is not installed";
    }
    // The server names the display it took on the pipe once it accepts connections.
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return "no pipe for Xvfb";
    }
    server = std::make_unique<ChildProcess>(xvfb, std::vector<std::string>{"-displayfd", std::to_string(pipeEnds[1]),
                                                                           "-screen", "0", "1024x768x24", "-nolisten",
                                                                           "tcp"});
    ::close(pipeEnds[1]);
    std::string number;
    pollfd readable{pipeEnds[0], POLLIN, 0};
    char character = 0;
    while (::poll(&readable, 1, 10000) == 1 && ::read(pipeEnds[0], &character, 1) == 1 && character != '\n') {
        number.push_back(character);
    }
    ::close(pipeEnds[0]);
    if (number.empty()) {
        server.reset();
        return "Xvfb did not start on any free display";
    }
    display = ":" + number;
    return {};
}

XvfbServer::~XvfbServer()
{
    if (server) {
        server->Kill(SIGTERM);
        server->WaitForExit(std::chrono::seconds(5));
    }
}
