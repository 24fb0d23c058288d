#include "viewer/journal_model.h"

#include "files/error_text.h"
#include "viewer/columns.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace viewer {

void JournalModel::take(QByteArrayView bytes)
{
    parser_.feed(bytes);
    offset_ += bytes.size();
}

void JournalModel::feed(QByteArrayView bytes)
{
    take(bytes);
    summariseFrom(summarisedAnalog_, summarisedLogic_);
}

void JournalModel::summarise() { summariseFrom(0, 0); }

void JournalModel::summariseFrom(size_t analog, size_t logic)
{
    if (analog < data_.analogTime.size() || analog == 0) {
        for (int k = 0; k < kChannels; ++k) summaries_[size_t(k)].update(data_.analog[size_t(k)], analog);
        // The median step settles quickly; a short journal has it checked again.
        if (analog == 0 || data_.analogTime.size() < 100000) analogGap_ = gapThreshold(data_.analogTime);
    }
    if (logic < data_.logicTime.size() || logic == 0) {
        logicSummary_.update(data_.logic, logic);
        if (logic == 0 || data_.logicTime.size() < 100000) logicGap_ = gapThreshold(data_.logicTime);
    }
    summarisedAnalog_ = data_.analogTime.size();
    summarisedLogic_ = data_.logicTime.size();
}

void JournalModel::reserve(size_t lines)
{
    data_.analogTime.reserve(lines);
    for (auto &v : data_.analog) v.reserve(lines);
    data_.logicTime.reserve(lines);
    data_.logic.reserve(lines);
}

size_t JournalModel::bytes() const
{
    size_t b = data_.analogTime.capacity() * sizeof(qint64) + data_.logicTime.capacity() * sizeof(qint64) +
               data_.logic.capacity();
    for (const auto &v : data_.analog) b += v.capacity() * sizeof(float);
    for (const auto &s : summaries_) b += s.bytes();
    return b + logicSummary_.bytes();
}

Loaded loadJournal(const QString &path, LoadControl *control)
{
    Loaded out;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    auto fail = [&](int err, const QString &reason = {}) {
        out.error = files::failureSentence(QStringLiteral("lire le journal"), path,
                                           reason.isEmpty() ? files::reasonFromErrno(err) : reason);
        out.model.reset();
        if (fd >= 0) ::close(fd);
        return std::move(out);
    };
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) return fail(0, QStringLiteral("ce n'est pas un fichier ordinaire"));
    const qint64 size = st.st_size;
    if (control) control->total = size;
    out.model = std::make_unique<JournalModel>();
    // Room for the lines the size promises (some 50 bytes a line, half of
    // each frame), so that the series do not grow by copies.
    const size_t guess = size_t(size / 100 + 16);
    out.model->reserve(guess);

    constexpr qint64 kChunk = 4 << 20;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        if (control && control->cancel) {
            ::close(fd);
            out.model.reset();
            out.cancelled = true;
            return out;
        }
        const qint64 n = std::min(kChunk, size - at);
        if (!files::readAt(fd, chunk.data(), n, at)) return fail(errno);
        out.model->take(QByteArrayView(chunk.constData(), n));
        at += n;
        if (control) control->done = at;
    }
    ::close(fd);
    out.model->summarise();
    return out;
}

}  // namespace viewer
