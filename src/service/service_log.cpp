#include "service/service_log.h"

#include <unistd.h>

namespace service {

void say(Priority priority, const QString &text)
{
    // One write a line, so that lines of a dying process never mix.
    QByteArray line = QByteArray("<") + QByteArray::number(int(priority)) + '>' + text.toUtf8();
    line.replace('\n', ' ');
    line += '\n';
    for (qsizetype done = 0; done < line.size();) {
        const ssize_t n = ::write(STDERR_FILENO, line.constData() + done, size_t(line.size() - done));
        if (n <= 0) break;
        done += n;
    }
}

}  // namespace service
