#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/common/UniqueFd.h"

// What a second start asks of the copy that runs: show its window, or open a database file in it.
struct InstanceRequest
{
    // Empty: only show the window.
    std::string file;

    friend bool operator==(const InstanceRequest&, const InstanceRequest&) = default;
};

// How a second start hands its request to the running copy: a local socket beside the single-instance lock, in the
// user's private runtime folder, that only the same user can reach.
class InstanceChannel
{
public:
    // Listens for the requests of later starts. None when the user has no private folder or the socket cannot be
    // made; the program then runs as before, without hearing of later starts. Only the holder of the single-instance
    // lock of this name may listen: a socket file left by a copy that died is replaced.
    static std::unique_ptr<InstanceChannel> Listen(const std::string& name);
    // Hands the request to the copy that listens; false when none does.
    static bool Send(const std::string& name, const InstanceRequest& request);

    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;
    ~InstanceChannel();

    // Readable when a later start is waiting to be heard.
    int Descriptor() const { return listener.Get(); }
    // The request of one waiting start; none when nobody waits or what arrived is not a request (another user's
    // process, a text too long or cut off).
    std::optional<InstanceRequest> Accept();

private:
    InstanceChannel(UniqueFd listener, std::string path);

    UniqueFd listener;
    std::string path;
};
