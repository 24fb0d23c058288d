#pragma once
// What the program does before and around its window: the two command-line
// questions answered without a display, the application's names, Qt's own
// texts in French, the icon, and the window's start scale.

#include <QString>
#include <cstdio>
#include <optional>

class QApplication;
class QIcon;
class QCoreApplication;
class QWidget;

namespace desktop {

QString versionText();
QString helpText();

// The panel's icon, for its windows.
QIcon panelIcon();

// "--help" / "-h" and "--version" / "-v" are answered on out before any
// window exists: the exit code. Nothing when the panel is to start (other
// arguments are left to Qt).
std::optional<int> answerCommandLine(int argc, char **argv, std::FILE *out = stdout);

// Qt's own texts (dialog buttons, file dialogs, questions) in French whatever
// the user's language, since the whole panel is French. False when Qt's
// French translation is not installed.
bool installFrenchTranslation(QCoreApplication &app);

// The application's names (which also name its configuration folder), the
// French translation and the icon.
void prepareApplication(QApplication &app);

// Shows the window at the scale its screen allows, or the panel's window
// where the user last left it.
void showFitted(QWidget &window);

}  // namespace desktop
