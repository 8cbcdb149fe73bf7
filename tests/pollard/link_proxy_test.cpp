// The TCP connection through a SOCKS server when "Use Proxy" is on.
#include "tests/pollard/engine_fixture.h"
#include "tests/common/fake_prompter.h"

#include "pollard/tcp_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace pollardtest {
namespace {

// A SOCKS 5 server on 127.0.0.1 that asks for a user name and password (RFC 1929), connects
// to the IPv4 target it is given and relays both ways. One client at a time.
class SocksRelay {
public:
    SocksRelay()
    {
        listen_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listen_, 4) != 0 ||
            getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~SocksRelay()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        close(listen_);
    }
    uint16_t Port() const { return port_; }
    int Clients() const { return clients_; }
    std::string Seen() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    static bool ReadAll(int fd, uint8_t* p, size_t n)
    {
        while (n > 0) {
            const ssize_t got = read(fd, p, n);
            if (got <= 0) return false;
            p += got;
            n -= static_cast<size_t>(got);
        }
        return true;
    }
    static bool WriteAll(int fd, const uint8_t* p, size_t n) { return write(fd, p, n) == static_cast<ssize_t>(n); }

    void Run()
    {
        while (!stop_) {
            pollfd pfd{listen_, POLLIN, 0};
            if (poll(&pfd, 1, 50) <= 0) continue;
            const int client = accept(listen_, nullptr, nullptr);
            if (client < 0) continue;
            ++clients_;
            Serve(client);
            close(client);
        }
    }

    void Serve(int client)
    {
        uint8_t b[512];
        // Greeting: version, methods; the user name and password method is chosen.
        if (!ReadAll(client, b, 2) || b[0] != 5 || !ReadAll(client, b + 2, b[1])) return;
        const uint8_t method[2] = {5, 2};
        if (!WriteAll(client, method, 2)) return;
        // RFC 1929: version 1, user, password.
        if (!ReadAll(client, b, 2) || !ReadAll(client, b + 2, b[1])) return;
        const std::string user(reinterpret_cast<char*>(b + 2), b[1]);
        uint8_t plen = 0;
        if (!ReadAll(client, &plen, 1) || !ReadAll(client, b, plen)) return;
        const std::string password(reinterpret_cast<char*>(b), plen);
        const uint8_t authOk[2] = {1, 0};
        if (!WriteAll(client, authOk, 2)) return;
        // Connect request for an IPv4 target.
        if (!ReadAll(client, b, 4) || b[1] != 1 || b[3] != 1 || !ReadAll(client, b + 4, 6)) return;
        sockaddr_in target{};
        target.sin_family = AF_INET;
        std::memcpy(&target.sin_addr, b + 4, 4);
        std::memcpy(&target.sin_port, b + 8, 2);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            char text[64];
            inet_ntop(AF_INET, &target.sin_addr, text, sizeof text);
            seen_ = user + ":" + password + "@" + text + ":" + std::to_string(ntohs(target.sin_port));
        }
        const int upstream = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(upstream, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
            const uint8_t refused[10] = {5, 5, 0, 1, 0, 0, 0, 0, 0, 0};
            WriteAll(client, refused, sizeof refused);
            close(upstream);
            return;
        }
        const uint8_t granted[10] = {5, 0, 0, 1, 0, 0, 0, 0, 0, 0};
        if (WriteAll(client, granted, sizeof granted)) Relay(client, upstream);
        close(upstream);
    }

    void Relay(int a, int b)
    {
        uint8_t buf[1024];
        while (!stop_) {
            pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
            if (poll(fds, 2, 50) <= 0) continue;
            for (int i = 0; i < 2; ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                const ssize_t got = read(fds[i].fd, buf, sizeof buf);
                if (got <= 0 || !WriteAll(i == 0 ? b : a, buf, static_cast<size_t>(got))) return;
            }
        }
    }

    int listen_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> clients_{0};
    mutable std::mutex mutex_;
    std::string seen_;
};

class ProxyLink : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ServeTcp();
        ASSERT_NE(relay.Port(), 0);
        S().proxyAddress = QStringLiteral("127.0.0.1");
        S().proxyPort = relay.Port();
        S().proxyUsername = QStringLiteral("svc");
        S().proxyPassword = QStringLiteral("s3cret");
        row = sim::AnalyzerCore::RowOfDbId(20);
    }
    std::string Target() const { return "svc:s3cret@127.0.0.1:" + std::to_string(wire.TcpPort()); }
    SocksRelay relay;
    int row = 0;
};

TEST_F(ProxyLink, UseProxyCarriesTheExchangeThroughTheSocksServer)
{
    S().useProxy = true;
    ASSERT_EQ(CommConnect(), 0) << E().Tcp().ErrorText().toStdString();
    const Exchange ex = Send(ReadRow(row));
    EXPECT_EQ(ex.result, 0);
    EXPECT_EQ(ex.reply, *sim::AnalyzerCore().Handle(ReadRow(row)));
    EXPECT_EQ(relay.Clients(), 1);
    EXPECT_EQ(relay.Seen(), Target());   // its user, password and the analyzer's endpoint
    EXPECT_EQ(wire.ConnectionsAccepted(), 1);
}

TEST_F(ProxyLink, WithoutUseProxyOrWithoutAServerTheConnectionGoesStraight)
{
    const struct {
        const char* name;
        bool useProxy;
        const char* address;
    } cases[] = {{"Use Proxy off", false, "127.0.0.1"}, {"no proxy address", true, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        S().useProxy = c.useProxy;
        S().proxyAddress = QString::fromLatin1(c.address);
        const int before = wire.ConnectionsAccepted();
        ASSERT_EQ(CommConnect(), 0);
        EXPECT_EQ(Send(ReadRow(row)).result, 0);
        EXPECT_EQ(wire.ConnectionsAccepted(), before + 1);
        EXPECT_EQ(E().Tcp().Proxy().type(), QNetworkProxy::NoProxy);
        CommDisconnect(false);
    }
    EXPECT_EQ(relay.Clients(), 0);
}

TEST_F(ProxyLink, ProxyThatDoesNotAnswerFailsTheConnect)
{
    S().useProxy = true;
    S().proxyPort = 1;   // nothing listens there
    FakePrompter prompter;
    EXPECT_EQ(CommConnect(), 5);
    EXPECT_EQ(prompter.prompts.size(), 1u);
    EXPECT_FALSE(IsOnline());
    EXPECT_EQ(wire.ConnectionsAccepted(), 0);
}

}  // namespace
}  // namespace pollardtest
