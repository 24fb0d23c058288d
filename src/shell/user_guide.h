#pragma once
// The user guide F1 opens: the installed one, else the source tree's.

#include <QString>
#include <functional>

class QUrl;

namespace guide {

// An installed panel lives in PREFIX/bin with its guide in
// PREFIX/share/doc/pramelor; a built one in a folder of the source tree,
// whose README.md is the guide. Empty when there is none.
QString userGuide(const QString &programDir);
// Opens the guide with openUrl (empty: the desktop's own opener); the French
// sentence saying why it could not, else empty.
QString openUserGuide(const QString &programDir, const std::function<bool(const QUrl &)> &openUrl);

}  // namespace guide
