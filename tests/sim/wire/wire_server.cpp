#include "tests/sim/wire/wire_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

namespace sim {

namespace {

constexpr uint8_t kFunction = 0x12;
constexpr char kGarbage = 0x55;

uint16_t Crc16(const QByteArray& bytes)
{
    uint16_t crc = 0xFFFF;
    for (char ch : bytes) {
        crc ^= static_cast<uint8_t>(ch);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

QByteArray WithCrc(QByteArray bytes)
{
    const uint16_t crc = Crc16(bytes);
    bytes.append(static_cast<char>(crc & 0xFF));
    bytes.append(static_cast<char>(crc >> 8));
    return bytes;
}

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace

WireServer::WireServer(MessageHandler& handler) : handler_(handler)
{
    if (pipe(wakePipe_) == 0) {
        SetNonBlocking(wakePipe_[0]);
        SetNonBlocking(wakePipe_[1]);
    }
}

WireServer::~WireServer()
{
    Stop();
    for (int fd : wakePipe_)
        if (fd >= 0) close(fd);
}

bool WireServer::StartPty()
{
    if (thread_.joinable()) return false;
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return false;
    termios tio{};
    if (tcgetattr(slave_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave_, TCSANOW, &tio);
    }
    SetNonBlocking(master_);
    ptyPath_ = QString::fromLocal8Bit(name);
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

bool WireServer::StartTcp(uint16_t port)
{
    if (thread_.joinable()) return false;
    listen_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listen_ < 0) return false;
    int yes = 1;
    setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    socklen_t len = sizeof addr;
    if (bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listen_, 4) != 0 ||
        getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(listen_);
        listen_ = -1;
        return false;
    }
    SetNonBlocking(listen_);
    tcpPort_ = ntohs(addr.sin_port);
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void WireServer::Stop()
{
    if (thread_.joinable()) {
        stop_ = true;
        Wake();
        thread_.join();
    }
    for (int* fd : {&master_, &slave_, &client_, &listen_})
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
}

QString WireServer::PtyPath() const { return ptyPath_; }
uint16_t WireServer::TcpPort() const { return tcpPort_; }

void WireServer::Wake()
{
    if (wakePipe_[1] >= 0) {
        const char b = 1;
        [[maybe_unused]] ssize_t n = write(wakePipe_[1], &b, 1);
    }
}

void WireServer::SetBaud(int baud)
{
    std::lock_guard<std::mutex> lock(mutex_);
    baud_ = baud < 0 ? 0 : baud;
}

void WireServer::AddFault(const WireFaultRule& rule)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back(rule);
}

void WireServer::FailNext(WireFault fault, int times)
{
    WireFaultRule rule;
    rule.fault = fault;
    rule.times = times;
    AddFault(rule);
}

void WireServer::ClearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

void WireServer::SendRaw(const QByteArray& bytes, int delayMs)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Schedule(Clock::now() + std::chrono::milliseconds(delayMs), bytes, true);
    }
    Wake();
}

void WireServer::SetModem(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    modem_ = on;
    inCall_ = false;
    online_ = false;
}

void WireServer::QueueDialResults(const QStringList& results)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const QString& r : results) dialResults_.push_back(r);
}

bool WireServer::ModemInCall() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return inCall_;
}

int WireServer::DialCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dials_;
}

QStringList WireServer::ModemCommands() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return modemCommands_;
}

int WireServer::FramesReceived() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return framesReceived_;
}

int WireServer::BadFramesReceived() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return badFrames_;
}

std::vector<QByteArray> WireServer::Messages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<QByteArray> WireServer::RawFrames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return rawFrames_;
}

void WireServer::ClearLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
    messages_.shrink_to_fit();
    rawFrames_.clear();
    rawFrames_.shrink_to_fit();
}

int WireServer::RepliesWritten() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return repliesWritten_;
}

int WireServer::ConnectionsAccepted() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_;
}

bool WireServer::WaitFor(const std::function<bool()>& pred, int ms) const
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (pred()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int WireServer::LineFd() const { return master_ >= 0 ? master_ : client_; }

void WireServer::Run()
{
    while (!stop_) {
        Clock::duration wait = std::chrono::milliseconds(100);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!out_.empty()) wait = std::max(Clock::duration::zero(), out_.front().due - Clock::now());
        }
        pollfd fds[3];
        int n = 0;
        fds[n++] = {wakePipe_[0], POLLIN, 0};
        const int line = LineFd();
        if (line >= 0) fds[n++] = {line, POLLIN, 0};
        const int lineIndex = line >= 0 ? 1 : -1;
        const int listenIndex = listen_ >= 0 ? n : -1;
        if (listen_ >= 0) fds[n++] = {listen_, POLLIN, 0};
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        ppoll(fds, static_cast<nfds_t>(n), &ts, nullptr);
        if (stop_) break;

        if (fds[0].revents & POLLIN) {
            char buf[64];
            while (read(wakePipe_[0], buf, sizeof buf) > 0) {
            }
        }
        if (listenIndex >= 0 && (fds[listenIndex].revents & POLLIN)) {
            const int c = accept(listen_, nullptr, nullptr);
            if (c >= 0) {
                if (client_ >= 0) close(client_);
                client_ = c;
                SetNonBlocking(client_);
                int yes = 1;
                setsockopt(client_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
                in_.clear();
                std::lock_guard<std::mutex> lock(mutex_);
                ++connections_;
                changed_.notify_all();
            }
        }
        if (lineIndex >= 0 && (fds[lineIndex].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buf[1024];
            const ssize_t got = read(line, buf, sizeof buf);
            if (got > 0) {
                OnBytes(QByteArray(buf, static_cast<int>(got)), Clock::now());
            } else if (client_ >= 0 && line == client_ && (got == 0 || (errno != EAGAIN && errno != EINTR))) {
                close(client_);
                client_ = -1;
                in_.clear();
            }
        }
        WriteDue(Clock::now());
    }
}

void WireServer::OnBytes(const QByteArray& bytes, Clock::time_point now)
{
    std::unique_lock<std::mutex> lock(mutex_);
    in_ += bytes;
    if (modem_ && !online_) {
        for (;;) {
            const int end = in_.indexOf('\r');
            if (end < 0) break;
            const QByteArray line = in_.left(end).trimmed().toUpper();
            in_.remove(0, end + 1);
            if (!line.isEmpty()) HandleModemCommand(line, now);
        }
        if (in_.size() > 256) in_.clear();
        return;
    }
    if (modem_ && online_ && in_ == "+++") {
        in_.clear();
        online_ = false;
        Schedule(now, "\r\nOK\r\n");
        return;
    }
    lock.unlock();
    TakeFrames(now);
}

void WireServer::HandleModemCommand(const QByteArray& line, Clock::time_point now)
{
    modemCommands_ << QString::fromLatin1(line);
    const auto soon = now + std::chrono::milliseconds(20);
    if (line.startsWith("ATD")) {
        ++dials_;
        QString result = QStringLiteral("CONNECT 19200");
        if (!dialResults_.empty()) {
            result = dialResults_.front();
            dialResults_.pop_front();
        }
        if (result.isEmpty()) return;
        Schedule(soon, "\r\n" + result.toLatin1() + "\r\n");
        if (result.startsWith(QLatin1String("CONNECT"))) {
            inCall_ = true;
            online_ = true;
        }
    } else if (line.startsWith("ATH")) {
        inCall_ = false;
        Schedule(soon, "\r\nOK\r\n");
    } else if (line.startsWith("ATO")) {
        if (inCall_) {
            online_ = true;
            Schedule(soon, "\r\nCONNECT\r\n");
        } else {
            Schedule(soon, "\r\nNO CARRIER\r\n");
        }
    } else if (line.startsWith("AT")) {
        Schedule(soon, "\r\nOK\r\n");
    } else {
        Schedule(soon, "\r\nERROR\r\n");
    }
}

void WireServer::TakeFrames(Clock::time_point now)
{
    for (;;) {
        QByteArray frame;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (in_.size() < 3) return;
            if (static_cast<uint8_t>(in_[1]) != kFunction) {
                in_.remove(0, 1);   // not the start of a frame
                continue;
            }
            const int need = static_cast<uint8_t>(in_[2]) + 4;
            if (in_.size() < need) return;
            frame = in_.left(need);
            in_.remove(0, need);
            if (WithCrc(frame.left(need - 2)) != frame) {
                ++badFrames_;
                continue;
            }
            ++framesReceived_;
            messages_.push_back(frame.mid(2, need - 4));
            rawFrames_.push_back(frame);
            changed_.notify_all();
        }
        Reply(frame.mid(2, frame.size() - 4), frame, now);
    }
}

bool WireServer::TakeFault(WireFaultRule& out)
{
    bool hit = false;
    for (WireFaultRule& rule : faults_) {
        if (rule.times == 0) continue;
        if (rule.skip > 0) {
            --rule.skip;
            continue;
        }
        if (!hit) {
            out = rule;
            hit = true;
            if (rule.times > 0) --rule.times;
        }
    }
    return hit;
}

void WireServer::Reply(const QByteArray& message, const QByteArray& requestFrame, Clock::time_point now)
{
    WireFaultRule rule;
    bool hit = false;
    int baud = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hit = TakeFault(rule);
        baud = baud_;
    }
    const auto faultIs = [&](WireFault f) { return hit && rule.fault == f; };
    // The request only ends arriving when its last byte has crossed the line.
    Clock::time_point start = now;
    if (baud > 0)
        start += std::chrono::microseconds(static_cast<int64_t>(requestFrame.size()) * 10 * 1000000 / baud);

    std::optional<QByteArray> reply;
    if (faultIs(WireFault::Reject))
        reply = QByteArray("\x02\xFF", 2);
    else
        reply = handler_.Handle(message);
    if (!reply || faultIs(WireFault::Silence)) return;

    std::lock_guard<std::mutex> lock(mutex_);
    if (faultIs(WireFault::Disconnect)) {
        Schedule(start, {}, true, true);
        return;
    }
    if (faultIs(WireFault::RawReply)) {
        if (rule.splitAt > 0 && rule.splitAt < rule.bytes.size()) {
            const int gap = rule.gapMs >= 0 ? rule.gapMs : 20;
            Schedule(start, rule.bytes.left(rule.splitAt));
            Schedule(start + std::chrono::milliseconds(gap), rule.bytes.mid(rule.splitAt), true);
        } else {
            SchedulePaced(start, rule.bytes, true);
        }
        Wake();
        return;
    }
    if (faultIs(WireFault::Babble)) {
        for (int t = 0; t < rule.delayMs; t += 10)
            Schedule(start + std::chrono::milliseconds(t), QByteArray(1, kGarbage), t + 10 >= rule.delayMs);
        return;
    }
    QByteArray body;
    body.append(requestFrame[0]);
    body.append(static_cast<char>(kFunction));
    body += *reply;
    if (faultIs(WireFault::OverLong)) body += QByteArray(rule.extra, static_cast<char>(0xEE));
    QByteArray frame = WithCrc(body);
    if (faultIs(WireFault::BadCrc)) frame[frame.size() - 1] = static_cast<char>(frame[frame.size() - 1] ^ 0x5A);
    if (faultIs(WireFault::StrayByte)) frame.append(static_cast<char>(0xA5));
    if (faultIs(WireFault::LateReply)) start += std::chrono::milliseconds(rule.delayMs);

    if (faultIs(WireFault::ByteByByte) || faultIs(WireFault::Split)) {
        const bool split = faultIs(WireFault::Split);
        const int gap = rule.gapMs >= 0 ? rule.gapMs : (split ? 20 : 2);
        const int parts = split ? 2 : frame.size();
        const int partSize = (frame.size() + parts - 1) / parts;
        for (int i = 0, p = 0; i < frame.size(); i += partSize, ++p)
            Schedule(start + std::chrono::milliseconds(gap * p), frame.mid(i, partSize), i + partSize >= frame.size());
        return;
    }
    SchedulePaced(start, frame, true);
    Wake();
}

void WireServer::Schedule(Clock::time_point due, const QByteArray& bytes, bool endsReply, bool hangUp)
{
    Pending p{due, bytes, endsReply, hangUp};
    auto at = std::upper_bound(out_.begin(), out_.end(), due,
                               [](Clock::time_point t, const Pending& q) { return t < q.due; });
    out_.insert(at, p);
}

void WireServer::SchedulePaced(Clock::time_point start, const QByteArray& bytes, bool endsReply)
{
    if (baud_ <= 0) {
        Schedule(start, bytes, endsReply);
        return;
    }
    const int64_t byteNs = 10LL * 1000000000LL / baud_;
    for (int i = 0; i < bytes.size(); ++i)
        Schedule(start + std::chrono::nanoseconds(byteNs * (i + 1)), bytes.mid(i, 1), endsReply && i == bytes.size() - 1);
}

void WireServer::WriteDue(Clock::time_point now)
{
    for (;;) {
        Pending p;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (out_.empty() || out_.front().due > now) return;
            p = out_.front();
            out_.pop_front();
        }
        const int fd = LineFd();
        if (fd >= 0 && !p.bytes.isEmpty()) {
            int done = 0;
            int spins = 0;
            while (done < p.bytes.size() && spins < 1000) {
                const ssize_t w = fd == client_ ? send(fd, p.bytes.constData() + done, static_cast<size_t>(p.bytes.size() - done), MSG_NOSIGNAL)
                                                : write(fd, p.bytes.constData() + done, static_cast<size_t>(p.bytes.size() - done));
                if (w > 0) {
                    done += static_cast<int>(w);
                } else if (errno == EAGAIN || errno == EINTR) {
                    ++spins;
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                } else {
                    break;
                }
            }
        }
        if (p.hangUp) CloseLine();
        std::lock_guard<std::mutex> lock(mutex_);
        if (p.endsReply) ++repliesWritten_;
        changed_.notify_all();
    }
}

void WireServer::CloseLine()
{
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
        if (slave_ >= 0) {
            close(slave_);
            slave_ = -1;
        }
    } else if (client_ >= 0) {
        close(client_);
        client_ = -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    in_.clear();
    online_ = false;
    inCall_ = false;
}

}  // namespace sim
