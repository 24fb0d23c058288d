#include "shell/command_line.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdlib>
#include <cstring>

namespace desktop {

namespace {

// The panel's own options, and those QGuiApplication and QApplication take
// (X11's included), with one leading dash or two, "-name value" or
// "-name=value".
constexpr const char *kOwn[] = {"help", "h", "version", "v"};
constexpr const char *kQtFlags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount", "testability"};
constexpr const char *kQtWithValue[] = {"platform",      "platformpluginpath",
                                        "platformtheme", "plugin",
                                        "qmljsdebugger", "qwindowgeometry",
                                        "qwindowicon",   "qwindowtitle",
                                        "session",       "display",
                                        "name",          "title",
                                        "visual",        "style",
                                        "stylesheet",    "geometry",
                                        "qdebug",        "qwindowscreen"};

bool among(const QByteArray &name, const auto &list)
{
    for (const char *known : list)
        if (name == known) return true;
    return false;
}

QByteArray optionName(const char *arg)
{
    QByteArray a(arg);
    if (!a.startsWith('-') || a == "-") return {};
    a.remove(0, a.startsWith("--") ? 2 : 1);
    const qsizetype eq = a.indexOf('=');
    return eq >= 0 ? a.left(eq) : a;
}

QString g_platformFailure;  // said when Qt cannot reach the display
QtMessageHandler g_previousHandler = nullptr;

void onQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // "This application failed to start because no Qt platform plugin could
    // be initialized": Qt's abort when the display cannot be reached.
    if (type == QtFatalMsg && !g_platformFailure.isEmpty() && message.contains(u"platform plugin")) {
        const QByteArray text = g_platformFailure.toLocal8Bit();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (g_previousHandler) g_previousHandler(type, context, message);
}

}  // namespace

std::optional<QString> unknownArgument(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray name = optionName(argv[i]);
        const bool inline_value = std::strchr(argv[i], '=') != nullptr;
        if (among(name, kOwn) || among(name, kQtFlags)) continue;
        if (among(name, kQtWithValue)) {
            if (!inline_value) ++i;  // its value
            continue;
        }
        return QString::fromLocal8Bit(argv[i]);
    }
    return std::nullopt;
}

bool displayAvailable(int argc, char **argv, QString (*env)(const char *))
{
    QString platform = env("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        const QByteArray name = optionName(argv[i]);
        if (name != "platform") continue;
        if (const char *eq = std::strchr(argv[i], '='))
            platform = QString::fromLocal8Bit(eq + 1);
        else if (i + 1 < argc)
            platform = QString::fromLocal8Bit(argv[i + 1]);
    }
    // "wayland;xcb": the first that works; the plugin's own options after ':'.
    const QString first = platform.section(u';', 0, 0).section(u':', 0, 0).trimmed();
    if (first == u"xcb") return !env("DISPLAY").isEmpty();
    if (first == u"wayland" || first.startsWith(u"wayland-"))
        return !env("WAYLAND_DISPLAY").isEmpty() || !env("XDG_RUNTIME_DIR").isEmpty();
    if (!first.isEmpty()) return true;  // offscreen, vnc, eglfs, linuxfb …: no display server needed
    return !env("DISPLAY").isEmpty() || !env("WAYLAND_DISPLAY").isEmpty();
}

QString noDisplayText(bool unreachable)
{
    const QString first =
        unreachable ? QStringLiteral("pramelor : l'affichage ne peut être utilisé (la raison donnée par Qt est "
                                     "ci-dessus) ;\nle panneau a besoin d'un affichage pour s'ouvrir.\n")
                    : QStringLiteral("pramelor : aucun affichage n'est indiqué (DISPLAY n'est pas défini) ;\n"
                                     "le panneau a besoin d'un affichage pour s'ouvrir.\n");
    return first + QStringLiteral("Lancez-le depuis une session graphique, ou indiquez l'écran à utiliser, par "
                                  "exemple :\n"
                                  "  DISPLAY=:0 pramelor\n"
                                  "(par ssh : ssh -X, qui définit DISPLAY). Sans aucun écran, "
                                  "QT_QPA_PLATFORM=offscreen\nl'ouvre sans rien montrer.\n");
}

std::optional<int> refuseToStart(int argc, char **argv, std::FILE *err)
{
    const auto say = [err](const QString &text) {
        const QByteArray bytes = text.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), err);
        std::fflush(err);
    };
    if (const auto unknown = unknownArgument(argc, argv)) {
        say(QStringLiteral("pramelor : option inconnue « %1 ». Voyez pramelor --help.\n").arg(*unknown));
        return 2;
    }
    const auto env = [](const char *name) { return qEnvironmentVariable(name); };
    if (!displayAvailable(argc, argv, env)) {
        say(noDisplayText(false));
        return 1;
    }
    g_platformFailure = noDisplayText(true);
    g_previousHandler = qInstallMessageHandler(onQtMessage);
    return std::nullopt;
}

void displayReached()
{
    if (g_platformFailure.isEmpty()) return;
    g_platformFailure.clear();
    qInstallMessageHandler(g_previousHandler);
}

}  // namespace desktop
