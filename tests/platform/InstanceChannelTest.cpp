#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>

#include "core/common/UniqueFd.h"
#include "platform/InstanceChannel.h"
#include "support/OwnRuntimeFolder.h"

namespace {
const std::string ChannelName = "TaviloLockmereMutex";

// Each test gets its own runtime folder, so that tests and a running Lockmere never share a channel.
class InstanceChannelTest : public ::testing::Test
{
protected:
    std::filesystem::path SocketPath() const { return folder.Path() / (ChannelName + ".socket"); }

    // Connects as a start of another kind would and writes `text` as it is.
    void SendRaw(const std::string& text) const
    {
        UniqueFd connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, SocketPath().c_str());
        ASSERT_EQ(::connect(connection.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(::send(connection.Get(), text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size()));
    }

    OwnRuntimeFolder folder;
};

TEST_F(InstanceChannelTest, ARequestReachesTheListeningCopyAsItWasSent)
{
    const auto channel = InstanceChannel::Listen(ChannelName);
    ASSERT_NE(channel, nullptr);
    const InstanceRequest requests[] = {
        {},
        {"/home/user/Passwords/lockmere.ldb"},
        {"/home/user/with blank, comma and \xC3\xBC/line\nbreak.ldb"},
    };
    for (const InstanceRequest& request : requests) {
        ASSERT_TRUE(InstanceChannel::Send(ChannelName, request)) << request.file;
        EXPECT_EQ(channel->Accept(), request) << request.file;
    }
}

TEST_F(InstanceChannelTest, SendingWithoutAListeningCopyFails)
{
    EXPECT_FALSE(InstanceChannel::Send(ChannelName, {}));
    // A socket file left behind by a copy that died is no listener either.
    {
        const auto channel = InstanceChannel::Listen(ChannelName);
        ASSERT_NE(channel, nullptr);
    }
    EXPECT_FALSE(InstanceChannel::Send(ChannelName, {"/x.ldb"}));
}

TEST_F(InstanceChannelTest, AFileLeftAtTheSocketsPlaceIsReplaced)
{
    std::ofstream(SocketPath()) << "left over";
    const auto channel = InstanceChannel::Listen(ChannelName);
    ASSERT_NE(channel, nullptr);
    ASSERT_TRUE(InstanceChannel::Send(ChannelName, {"/a.ldb"}));
    EXPECT_EQ(channel->Accept(), InstanceRequest{"/a.ldb"});
}

TEST_F(InstanceChannelTest, WhatIsNoRequestIsIgnored)
{
    const auto channel = InstanceChannel::Listen(ChannelName);
    ASSERT_NE(channel, nullptr);
    const std::string noRequests[] = {
        "", "show", "open\n", "delete\n/a.ldb", std::string("open\n/a\0b.ldb", 13), "open\n" + std::string(10000, 'a')};
    for (const std::string& text : noRequests) {
        SendRaw(text);
        EXPECT_EQ(channel->Accept(), std::nullopt) << text.size();
    }
    // Nobody waiting is no request either, and does not block.
    EXPECT_EQ(channel->Accept(), std::nullopt);
}

TEST_F(InstanceChannelTest, WithoutAPrivateFolderNobodyListens)
{
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::group_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(InstanceChannel::Listen(ChannelName), nullptr);
    EXPECT_FALSE(InstanceChannel::Send(ChannelName, {}));
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::group_write,
                                 std::filesystem::perm_options::remove);
}
} // namespace
