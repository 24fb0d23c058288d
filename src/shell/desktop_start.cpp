#include "shell/desktop_start.h"

#include "files/settings_location.h"
#include "shell/form1.h"
#include "shell/scaled_view.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <cstring>

#ifndef PRAMELOR_VERSION
#define PRAMELOR_VERSION "1.0"
#endif

// The resources are compiled into a static library: register them once.
static void registerResources() { Q_INIT_RESOURCE(resources); }

namespace desktop {

QIcon panelIcon()
{
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/pramelor/pramelor.png"));
}

QString versionText() { return QStringLiteral("pramelor %1\n").arg(QLatin1String(PRAMELOR_VERSION)); }

QString helpText()
{
    return QStringLiteral("Pramelor : panneau de commande de la carte d'expérimentation PIC 16F877 sur une\n"
                          "liaison série (8 relais, 8 entrées analogiques, 8 entrées logiques, acquisitions,\n"
                          "graphique).\n"
                          "\n"
                          "Usage : pramelor [--help | --version] [options de Qt : -style NOM, -platform NOM …]\n"
                          "Il faut un affichage (DISPLAY) pour ouvrir le panneau.\n"
                          "\n"
                          "Variables d'environnement :\n"
                          "  PRAMELOR_COM1 … PRAMELOR_COM4   périphérique de COM1 … COM4 (par exemple\n"
                          "                                  /dev/ttyUSB0) ; l'emporte sur « Ports série… »\n"
                          "\n"
                          "Fichiers :\n"
                          "  param.ini       les réglages (« Enregistrer la configuration ») : dans le dossier\n"
                          "                  du programme pour une copie portable (dossier modifiable qui n'est\n"
                          "                  pas une installation), sinon dans $XDG_CONFIG_HOME/pramelor/\n"
                          "                  (par défaut ~/.config/pramelor/)\n"
                          "  pramelor.conf   les ports série et le dernier dossier ouvert, dans ce même\n"
                          "                  dossier de l'utilisateur\n"
                          "  Tableaux (.txt et .txl) : là où vous les enregistrez.\n"
                          "\n"
                          "Carte simulée pour essayer sans carte : pramelor-board-sim --help\n");
}

std::optional<int> answerCommandLine(int argc, char **argv, std::FILE *out)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        const bool help = !std::strcmp(a, "--help") || !std::strcmp(a, "-h");
        const bool version = !std::strcmp(a, "--version") || !std::strcmp(a, "-v");
        if (!help && !version) continue;
        const QByteArray text = (help ? helpText() : versionText()).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), out);
        std::fflush(out);
        return 0;
    }
    return std::nullopt;
}

bool installFrenchTranslation(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
    if (!qt->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

void prepareApplication(QApplication &app)
{
    // With no organisation, the application's configuration folder is
    // ~/.config/pramelor, where the settings of an installed copy go.
    QCoreApplication::setApplicationName(QString::fromLatin1(files::kSettingsApplication));
    QCoreApplication::setApplicationVersion(QStringLiteral(PRAMELOR_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("pramelor"));
    QApplication::setWindowIcon(panelIcon());
    installFrenchTranslation(app);
}

void showFitted(QWidget &window)
{
    if (const QScreen *screen = window.screen()) {
        startAtFittingScale(&window, screen->availableGeometry().size());
        // The panel comes back where the user left it, when that fits.
        if (auto *form = qobject_cast<Form1 *>(&window)) form->restoreWindowPlace(screen->availableGeometry());
    }
    window.show();
}

}  // namespace desktop
