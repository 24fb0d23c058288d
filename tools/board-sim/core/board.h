#pragma once
// A stand-in for the PIC 16F877 board on a pseudo-terminal: it takes the
// panel's commands ("n" + output byte, "nA", "nL") and answers like the board,
// with a few ways of misbehaving for the tests.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace sim {

enum class Command { Output, Analog, Logic };

struct Received {
    Command kind;
    int byte;    // the output byte, for Command::Output
    qint64 tMs;  // monotonic time of arrival
};

// The byte stream as the board reads it. "n" then "A" or "L" is a request;
// "n" then any other byte is an output command (so output bytes 0x41 and 0x4C
// look like requests: the board cannot tell them apart either).
class Protocol {
public:
    std::vector<std::pair<Command, int>> feed(const QByteArray &bytes);
    int junk() const { return junk_; }

private:
    bool after_n_ = false;
    int junk_ = 0;
};

QByteArray analogReply(const std::array<int, 8> &values);  // s1:v1s2:v2…s8:v8\r\n
QByteArray logicReply(int byte);                           // E:byte\r\n
// Inputs that move with time so the panel has something to plot.
std::array<int, 8> analogAt(qint64 ms);
int logicAt(qint64 ms);

enum class Mode { Normal, Silent, Garbled, Late, Flood };
std::optional<Mode> modeFromName(const QString &name);

class PtyBoard : public QObject {
    Q_OBJECT
public:
    explicit PtyBoard(QString linkPath, QObject *parent = nullptr);
    ~PtyBoard() override;

    bool isPlugged() const { return master_ >= 0; }
    QString linkPath() const { return link_path_; }
    QString slavePath() const { return slave_path_; }
    QString lastError() const { return error_; }

    void setMode(Mode m);
    Mode mode() const { return mode_; }
    void setAnalogValues(std::array<int, 8> v) { fixed_analog_ = v; }
    void setLogicByte(int b) { fixed_logic_ = b; }
    void setReplyPieces(int pieces) { pieces_ = pieces; }
    // Characters sent every 50 ms in the flood mode: 48 is 9600 baud.
    void setFloodBytesPerTick(int n) { flood_bytes_ = std::max(1, n); }

    bool plug();    // a new pseudo-terminal behind the link path
    void unplug();  // the link disappears

    int relays() const { return relays_; }
    const std::vector<Received> &received() const { return received_; }
    int count(Command kind) const;
    int junkBytes() const { return protocol_.junk(); }
    qint64 bytesSent() const { return bytes_sent_; }
    qint64 nowMs() const { return clock_.elapsed(); }

signals:
    void relaysChanged(int byte);
    void commandReceived(sim::Command kind, int byte);

private:
    void onReadable();
    void answer(Command kind);
    void send(const QByteArray &bytes);
    void floodTick();

    QString link_path_, slave_path_, error_;
    int master_ = -1, slave_keep_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    Protocol protocol_;
    Mode mode_ = Mode::Normal;
    std::optional<std::array<int, 8>> fixed_analog_;
    std::optional<int> fixed_logic_;
    int pieces_ = 3;
    int flood_bytes_ = 48;
    int relays_ = -1;  // unknown until the first output command
    std::vector<Received> received_;
    qint64 bytes_sent_ = 0;
    QElapsedTimer clock_;
    quint32 noise_ = 12345;
    int generation_ = 0;  // replies scheduled before an unplug are dropped
};

QString relayLine(int byte);  // "relais : 1:ON  2:off … (0x81)"

}  // namespace sim
