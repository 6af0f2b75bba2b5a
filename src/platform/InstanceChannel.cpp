#include "platform/InstanceChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/SingleInstance.h"

namespace {
// A request is one line naming what to do, then the file's path: far below this for any real path.
constexpr std::size_t LongestRequest = 8192;
// A start that connected writes its few bytes at once; a peer that keeps the connection open silently must not
// hold up the window for longer than this.
constexpr int ReadTimeoutMilliseconds = 1000;
constexpr char ShowWord[] = "show\n";
constexpr char OpenWord[] = "open\n";

std::optional<sockaddr_un> SocketAddress(const std::string& name)
{
    const std::filesystem::path lock = SingleInstance::LockFilePath(name);
    if (lock.empty()) {
        return std::nullopt;
    }
    const std::string path = lock.parent_path() / (name + ".socket");
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path)) {
        return std::nullopt;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

UniqueFd NewSocket()
{
    return UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
}

std::string Encode(const InstanceRequest& request)
{
    return request.file.empty() ? std::string(ShowWord) : std::string(OpenWord) + request.file;
}

std::optional<InstanceRequest> Decode(const std::string& text)
{
    if (text == ShowWord) {
        return InstanceRequest{};
    }
    if (text.starts_with(OpenWord) && text.size() > std::strlen(OpenWord) && text.find('\0') == std::string::npos) {
        return InstanceRequest{text.substr(std::strlen(OpenWord))};
    }
    return std::nullopt;
}

bool FromThisUser(int connection)
{
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    return ::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::geteuid();
}

std::optional<std::string> ReadAll(int connection)
{
    std::string text;
    char buffer[1024];
    for (;;) {
        pollfd waiting{connection, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, ReadTimeoutMilliseconds);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        const ssize_t count = ::read(connection, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        if (text.size() > LongestRequest) {
            return std::nullopt;
        }
    }
}
} // namespace

InstanceChannel::InstanceChannel(UniqueFd listener, std::string path)
    : listener(std::move(listener))
    , path(std::move(path))
{}

InstanceChannel::~InstanceChannel()
{
    ::unlink(path.c_str());
}

std::unique_ptr<InstanceChannel> InstanceChannel::Listen(const std::string& name)
{
    const std::optional<sockaddr_un> address = SocketAddress(name);
    if (!address) {
        return nullptr;
    }
    UniqueFd listener = NewSocket();
    if (!listener.Valid()) {
        return nullptr;
    }
    ::unlink(address->sun_path);
    if (::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0 ||
        ::listen(listener.Get(), 8) != 0) {
        return nullptr;
    }
    // A later start that connects and then stalls must not block the window in accept.
    ::fcntl(listener.Get(), F_SETFL, ::fcntl(listener.Get(), F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<InstanceChannel>(new InstanceChannel(std::move(listener), address->sun_path));
}

bool InstanceChannel::Send(const std::string& name, const InstanceRequest& request)
{
    const std::optional<sockaddr_un> address = SocketAddress(name);
    UniqueFd connection = NewSocket();
    if (!address || !connection.Valid() ||
        ::connect(connection.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0) {
        return false;
    }
    const std::string text = Encode(request);
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = ::send(connection.Get(), text.data() + written, text.size() - written, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return ::shutdown(connection.Get(), SHUT_WR) == 0;
}

std::optional<InstanceRequest> InstanceChannel::Accept()
{
    UniqueFd connection(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection.Valid() || !FromThisUser(connection.Get())) {
        return std::nullopt;
    }
    const std::optional<std::string> text = ReadAll(connection.Get());
    return text ? Decode(*text) : std::nullopt;
}
