#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "support/ChildProcess.h"

// A virtual X server on a display it picks itself, so that parallel tests never share one; ended politely when the
// object goes, so that the server removes its lock file and socket.
class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Empty on success, else why no server could be started.
    std::string Start();
    // ":N" once started.
    const std::string& Display() const { return display; }

private:
    std::unique_ptr<ChildProcess> server;
    std::string display;
};

// The program of this name on the PATH; empty when there is none.
std::filesystem::path FindProgram(const std::string& name);
