#include "core/board.h"

#include <QFile>
#include <QTimer>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

std::vector<std::pair<Command, int>> Protocol::feed(const QByteArray &bytes)
{
    std::vector<std::pair<Command, int>> out;
    for (char ch : bytes) {
        const auto b = quint8(ch);
        if (after_n_) {
            after_n_ = false;
            if (b == 'A')
                out.emplace_back(Command::Analog, 0);
            else if (b == 'L')
                out.emplace_back(Command::Logic, 0);
            else
                out.emplace_back(Command::Output, b);
        } else if (b == 'n') {
            after_n_ = true;
        } else {
            ++junk_;
        }
    }
    return out;
}

QByteArray analogReply(const std::array<int, 8> &values)
{
    QByteArray r;
    for (int k = 0; k < 8; ++k) r += 's' + QByteArray::number(k + 1) + ':' + QByteArray::number(values[size_t(k)]);
    return r + "\r\n";
}

QByteArray logicReply(int byte) { return "E:" + QByteArray::number(byte) + "\r\n"; }

std::array<int, 8> analogAt(qint64 ms)
{
    const double t = double(ms) / 1000.0;
    auto clamp = [](double v) { return std::max(0, std::min(255, int(std::lround(v)))); };
    const int tri = int(ms / 100) % 510;
    return {int((ms / 235) % 256),  // ramp over a minute
            clamp(127.5 + 127.5 * std::sin(t * 2 * M_PI / 20)),
            128,
            tri < 255 ? tri : 510 - tri,                          // slow triangle
            int((quint32(ms / 500) * 2654435761u >> 24) & 0xFF),  // noise
            (ms / 5000) % 2 ? 230 : 25,                           // square
            clamp(127.5 + 100 * std::sin(t * 2 * M_PI / 7)),
            200};
}

int logicAt(qint64 ms) { return int((ms / 1000) % 256); }

std::optional<Mode> modeFromName(const QString &name)
{
    if (name == u"normal") return Mode::Normal;
    if (name == u"silent") return Mode::Silent;
    if (name == u"garbled") return Mode::Garbled;
    if (name == u"late") return Mode::Late;
    if (name == u"flood") return Mode::Flood;
    return std::nullopt;
}

QString relayLine(int byte)
{
    QString s = QStringLiteral("relais :");
    for (int i = 0; i < 8; ++i) s += QStringLiteral(" %1:%2").arg(i + 1).arg((byte >> i) & 1 ? u"ON " : u"off");
    return s + QStringLiteral("  (0x%1)").arg(byte, 2, 16, QChar(u'0'));
}

PtyBoard::PtyBoard(QString linkPath, QObject *parent) : QObject(parent), link_path_(std::move(linkPath))
{
    clock_.start();
    plug();
}

PtyBoard::~PtyBoard() { unplug(); }

bool PtyBoard::plug()
{
    if (master_ >= 0) return true;
    // Not inherited: a panel started as a child process must not hold the
    // board's end, or pulling the board out would hang up nothing.
    const int m = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m < 0 || grantpt(m) != 0 || unlockpt(m) != 0) {
        error_ = QStringLiteral("pseudo-terminal indisponible : %1").arg(QString::fromLocal8Bit(strerror(errno)));
        if (m >= 0) ::close(m);
        return false;
    }
    slave_path_ = QString::fromLocal8Bit(ptsname(m));
    // Keep one handle on the slave so the master never sees a hang-up when the
    // panel closes its port, and make the line raw: no echo, no translation.
    slave_keep_ = ::open(ptsname(m), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_keep_ >= 0) {
        termios tio{};
        tcgetattr(slave_keep_, &tio);
        cfmakeraw(&tio);
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tcsetattr(slave_keep_, TCSANOW, &tio);
    }
    fcntl(m, F_SETFL, fcntl(m, F_GETFL) | O_NONBLOCK);
    master_ = m;
    const QByteArray link = QFile::encodeName(link_path_);
    ::unlink(link.constData());
    if (::symlink(ptsname(m), link.constData()) != 0)
        error_ = QStringLiteral("lien %1 impossible : %2").arg(link_path_, QString::fromLocal8Bit(strerror(errno)));
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PtyBoard::onReadable);
    if (mode_ == Mode::Flood) floodTick();
    return true;
}

void PtyBoard::unplug()
{
    ++generation_;
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    if (master_ >= 0) {
        ::unlink(QFile::encodeName(link_path_).constData());
        ::close(master_);
        master_ = -1;
    }
    if (slave_keep_ >= 0) {
        ::close(slave_keep_);
        slave_keep_ = -1;
    }
}

void PtyBoard::setMode(Mode m)
{
    const bool startFlood = m == Mode::Flood && mode_ != Mode::Flood;
    mode_ = m;
    if (startFlood) floodTick();
}

int PtyBoard::count(Command kind) const
{
    int n = 0;
    for (const Received &r : received_) n += r.kind == kind;
    return n;
}

void PtyBoard::onReadable()
{
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) break;
        for (auto [kind, byte] : protocol_.feed(QByteArray(buf, int(n)))) {
            received_.push_back({kind, byte, nowMs()});
            emit commandReceived(kind, byte);
            if (kind == Command::Output && byte != relays_) {
                relays_ = byte;
                emit relaysChanged(byte);
            }
            answer(kind);
        }
    }
}

void PtyBoard::answer(Command kind)
{
    if (mode_ == Mode::Silent || mode_ == Mode::Flood) return;
    if (mode_ == Mode::Garbled) {
        QByteArray junk;
        const int len = kind == Command::Output ? 4 : 40;
        for (int i = 0; i < len; ++i) {
            noise_ = noise_ * 1103515245u + 12345u;
            char c = char('!' + (noise_ >> 16) % 90);
            if (c == 's' || c == 'E') c = '#';  // never a marker
            junk += c;
        }
        send(junk);
        return;
    }
    if (kind == Command::Output) return;  // the board does not answer outputs
    const QByteArray reply = kind == Command::Analog ? analogReply(fixed_analog_.value_or(analogAt(nowMs())))
                                                     : logicReply(fixed_logic_.value_or(logicAt(nowMs())));
    const int first = mode_ == Mode::Late ? 1500 : 20;
    const int pieces = std::max(1, std::min(pieces_, int(reply.size())));
    const int gen = generation_;
    for (int i = 0; i < pieces; ++i) {
        const int from = int(reply.size()) * i / pieces, to = int(reply.size()) * (i + 1) / pieces;
        QTimer::singleShot(first + 30 * i, Qt::PreciseTimer, this, [this, gen, piece = reply.mid(from, to - from)] {
            if (gen == generation_) send(piece);
        });
    }
}

void PtyBoard::send(const QByteArray &bytes)
{
    if (master_ < 0) return;
    const ssize_t n = ::write(master_, bytes.constData(), size_t(bytes.size()));
    if (n > 0) bytes_sent_ += n;
}

void PtyBoard::floodTick()
{
    if (mode_ != Mode::Flood || master_ < 0) return;
    // 9600 baud is about 960 characters a second: 48 every 50 ms.
    send(QByteArray(flood_bytes_, 'x'));
    QTimer::singleShot(50, Qt::PreciseTimer, this, &PtyBoard::floodTick);
}

}  // namespace sim
