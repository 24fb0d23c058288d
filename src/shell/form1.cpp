#include "shell/form1.h"

#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "engine/journal_recorder.h"
#include "graph/graph_frame_widget.h"
#include "outputs/outputs_frame_widget.h"
#include "shell/bench_actions.h"
#include "shell/file_actions.h"
#include "shell/file_dialog.h"
#include "shell/journal_widget.h"
#include "shell/panel_configuration.h"
#include "shell/panel_pictures.h"
#include "shell/scaled_view.h"
#include "shell/user_guide.h"
#include "text/numbers.h"
#include "ui/controls.h"
#include "ui/form_parts.h"
#include "ui/placement.h"

#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

using ui::label;

namespace {

constexpr int kClientWidth = 14535;
constexpr int kClientHeight = 9330;

// A plain caption whose text is wider than its box grows to the right rather
// than being cut; boxed and centred labels keep their size.
void fitCaptions(QWidget *root)
{
    for (QLabel *l : root->findChildren<QLabel *>()) {
        if (l->frameShape() != QFrame::NoFrame || !l->pixmap().isNull() || l->text().isEmpty()) continue;
        const int need = l->fontMetrics().horizontalAdvance(l->text()) + 2;
        if (need > l->width()) placement::widen(l, need);
    }
}

}  // namespace

Form1::Form1() : Form1(Setup{}) {}

Form1::Form1(Setup setup) : setup_(std::move(setup)), places_(setup_), place_(*this, places_.userSettingsFile())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pramelor pour PIC 16F877"));
    if (setup_.clock) {
        clock_ = setup_.clock;
    } else {
        own_clock_ = std::make_unique<SystemClock>();
        clock_ = own_clock_.get();
    }
    if (!setup_.askText)
        setup_.askText = [this](const QString &prompt, const QString &title, const QString &def) {
            return QInputDialog::getText(this, title, prompt, QLineEdit::Normal, def);
        };

    // The panel was drawn for a narrow sans-serif of about 11 pixels.
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    f.setStyleHint(QFont::SansSerif);
    setFont(f);

    // The form is drawn in twips and shown at one scale for the whole of it.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(new ScaledView(client, kClientWidth, kClientHeight, this));

    // The line gets a thread of its own unless a test drives the clock by hand.
    bench_ = new Bench(*clock_, this, own_clock_ != nullptr);
    tables_ = &bench_->tables();
    connect(bench_, &Bench::statusChanged, this, &Form1::showStatus);
    connect(bench_, &Bench::switchChanged, this, &Form1::showSwitch);
    configuration_ = new PanelConfiguration(this, *bench_, places_, setup_.askText);
    connect(configuration_, &PanelConfiguration::status, this, &Form1::showStatus);
    configuration_->loadDeviceMap();

    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setTimerType(Qt::PreciseTimer);
    Timer3->setInterval(600);
    Timer3->start();
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    shutdown_wait_ = new QTimer(this);
    shutdown_wait_->setObjectName(QStringLiteral("shutdownWait"));
    shutdown_wait_->setTimerType(Qt::PreciseTimer);
    shutdown_wait_->setSingleShot(true);
    shutdown_wait_->setInterval(1000);
    connect(shutdown_wait_, &QTimer::timeout, this, [this] { finishShutdown(true); });

    buildMenus();
    buildFrames(client);
    buildStatusLine();
    fitCaptions(client);
    Form_Load();
    Timer3_Timer();
    resize(sizeHint());
}

Form1::~Form1() = default;

// ---------------------------------------------------------------- layout

void Form1::buildFrames(QWidget *client)
{
    outputs_ = new OutputsFrame(*bench_, client);
    placement::place(outputs_, 0, 60, 11895, 2895);
    analog_ = new AnalogFrame(bench_->analog(), client);
    placement::place(analog_, 0, 3000, 11895, 1995);
    logic_ = new LogicFrame(bench_->logic(), client);
    placement::place(logic_, 0, 5100, 11895, 1875);
    for (FrameEngine *frame : {&bench_->analog(), &bench_->logic()}) {
        connect(frame, &FrameEngine::statusChanged, this, &Form1::showStatus);
        connect(frame, &FrameEngine::statusWithdrawn, this, [this](const QString &said) {
            if (statusText() == said) showStatus(QString());
        });
    }
    buildBottomBand(client);

    Text1 = new DebugBox(client);
    placement::place(Text1, 11910, 180, kClientWidth - 11910 - 30, 8175);
    connect(Text1, &DebugBox::clicked, this, &Form1::Text1_Click);
    connect(bench_, &Bench::received, Text1,
            [this](const QString &piece) { Text1->showReceived(piece, bench_->buffer()); });
    connect(bench_, &Bench::bufferReplaced, Text1, [this] { Text1->showTail(bench_->buffer()); });

    graph_ = new GraphFrame(bench_->tables(), client);
    placement::place(graph_, 0, 60, 12000, 8235);
    graph_->hide();
    connect(graph_->command3(), &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(graph_->command23(), &QPushButton::clicked, this, &Form1::Command23_Click);
    connect(graph_->command26(), &QPushButton::clicked, this, &Form1::Command26_Click);
    connect(graph_, &GraphFrame::acquisitionHovered, this, [this](const QString &said, const QString &before) {
        if (!said.isEmpty() || statusText() == before) showStatus(said);  // other messages stay
    });
    journal_->follow(bench_->analog(), bench_->logic());
    connect(journal_, &JournalPanel::statusChanged, this, &Form1::showStatus);
    bench_->setJournalRunning(
        [journal = QPointer<JournalRecorder>(recorder_)] { return journal && journal->running(); });
    connect(journal_, &JournalPanel::tablesLoaded, this, &Form1::Command26_Click);
    // The graph follows the memorised acquisitions and measures in the analog units.
    graph_->setUnits([bench = QPointer<Bench>(bench_)](int k) { return bench ? bench->analog().unit(k) : QString(); });
    connect(&bench_->analog(), &FrameEngine::valuesDecoded, graph_, &GraphFrame::acquisitionDecoded);
    connect(&bench_->logic(), &FrameEngine::valuesDecoded, graph_, &GraphFrame::acquisitionDecoded);
    connect(journal_, &JournalPanel::tablesLoaded, graph_, &GraphFrame::clearMarkers);

    configuration_->setParts({outputs_, analog_, logic_, graph_});
    const auto ask = [this](bool save, const QString &start) { return askPath(save, start); };
    files_ = new FileActions(this, *tables_, *graph_, ask, setup_.documentsDir);
    connect(files_, &FileActions::status, this, &Form1::showStatus);
    benches_ =
        new BenchActions(this, *bench_, *configuration_, *journal_, *recorder_, places_.configFiles().write, ask);
    connect(benches_, &BenchActions::status, this, &Form1::showStatus);
    connect(files_, &FileActions::tablesRead, this, &Form1::Command26_Click);
}

void Form1::buildMenus()
{
    auto add = [this](QMenu *menu, const QString &text, const char *name, void (Form1::*slot)()) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    // The titles carry their Alt keys; the "&" is not shown.
    QMenu *fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("n_fichier"));
    add(fichier, QStringLiteral("Ouvrir graphique"), "n_ouvrir", &Form1::n_ouvrir_Click);
    add(fichier, QStringLiteral("Enregistrer graphique"), "n_enregistrer", &Form1::n_enregistrer_Click);
    add(fichier, QStringLiteral("Imprime écran"), "n_imprime", &Form1::n_imprime_Click);
    // The panel's own entries come after the original ones, before "Quitter".
    add(fichier, QStringLiteral("Exporter en CSV…"), "n_export_csv", &Form1::n_export_csv_Click);
    add(fichier, QStringLiteral("Exporter le graphique…"), "n_export_png", &Form1::n_export_png_Click);
    // The journal's recording is not the line's: its flushes wait for the disk.
    recorder_ = new JournalRecorder(this);
    journal_ = new JournalPanel(this, *recorder_, *tables_, setup_.askPath, places_.userSettingsFile());
    journal_->addMenuEntries(fichier);
    add(fichier, QStringLiteral("Quitter"), "n_quitter", &Form1::n_quitter_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QAction *graph = menuBar()->addAction(QStringLiteral("&Graphique"));
    graph->setObjectName(QStringLiteral("n_graph"));
    connect(graph, &QAction::triggered, this, &Form1::n_graph_Click);

    QMenu *config = menuBar()->addMenu(QStringLiteral("&Configuration"));
    config->setObjectName(QStringLiteral("n_config"));
    add(config, QStringLiteral("Communication"), "n_port", &Form1::n_port_Click);
    add(config, QStringLiteral("debug"), "n_debug", &Form1::n_debug_Click);
    add(config, QStringLiteral("Enregistrer la configuration"), "n_enr_param", &Form1::n_enr_param_Click);
    add(config, QStringLiteral("Ports série…"), "n_ports_serie", &Form1::n_ports_serie_Click);
    add(config, QStringLiteral("Enregistrer le banc…"), "n_enr_banc", &Form1::n_enr_banc_Click);
    add(config, QStringLiteral("Ouvrir un banc…"), "n_ouvrir_banc", &Form1::n_ouvrir_banc_Click);

    QAction *vide = menuBar()->addAction(QStringLiteral("     "));
    vide->setObjectName(QStringLiteral("vide"));

    QAction *about = menuBar()->addAction(QStringLiteral("à &propos de ..."));
    about->setObjectName(QStringLiteral("n_a_propos_de"));
    connect(about, &QAction::triggered, this, &Form1::n_a_propos_de_Click);

    auto *guide = new QAction(QStringLiteral("Guide de l'utilisateur"), this);
    guide->setObjectName(QStringLiteral("n_aide"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guide, &QAction::triggered, this, &Form1::n_aide_Click);
    addAction(guide);
}

void Form1::buildBottomBand(QWidget *client)
{
    auto *shape1 = new QFrame(client);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::Box);
    placement::place(shape1, 60, 7080, 11835, 1275);

    Image2 = new ClickLabel(client);
    Image2->setObjectName(QStringLiteral("Image2"));
    placement::place(Image2, 420, 7380, 450, 615);
    Image2->setPixmap(pictures::masterSwitch(places_.programDir(), false));
    Image2->setScaledContents(true);  // the pictures grow with the form
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->setToolTip(QStringLiteral("Marche/arrêt"));
    Image2->setAccessibleName(QStringLiteral("Marche/arrêt"));
    connect(Image2, &ClickLabel::clicked, this, &Form1::Image2_Click);
    label(client, QStringLiteral("Marche/arrêt"), QRectF(180, 8040, 1200, 195), "Label66");

    auto *image1 = new QLabel(client);
    image1->setObjectName(QStringLiteral("Image1"));
    placement::place(image1, 3540, 7320, 4260, 855);
    image1->setPixmap(pictures::title());
    image1->setScaledContents(true);
    image1->setAccessibleName(QStringLiteral("Pramelor, carte d'expérimentation PIC 16F877"));

    Shape2 = new QFrame(client);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    placement::place(Shape2, 3540, 7320, 4215, 855);
    Shape2->setStyleSheet(QStringLiteral("QFrame#Shape2 { border: 3px solid rgb(255,0,0); background: transparent; }"));
    Shape2->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape2->hide();

    Label18 = label(client, QString(), QRectF(9960, 7320, 1815, 375), "Label18");
    Label18->setFrameShape(QFrame::Box);
    Label18->setAlignment(Qt::AlignCenter);
    QFont clockFont = Label18->font();
    clockFont.setPointSizeF(11);
    clockFont.setBold(true);
    Label18->setFont(clockFont);
}

void Form1::buildStatusLine()
{
    status_line_ = new QLabel(this);
    status_line_->setObjectName(QStringLiteral("statusLine"));
    // The line has its full height from the start: the first message must not
    // take a pixel from the form (which would then shrink its scale).
    status_line_->setText(QStringLiteral("Ég"));
    status_line_->setMinimumHeight(status_line_->sizeHint().height());
    status_line_->clear();
    statusBar()->addWidget(status_line_, 1);
    statusBar()->setSizeGripEnabled(false);
}

// ---------------------------------------------------------------- start-up

void Form1::Form_Load()
{
    // (The acquisition frames fill their interval and day lists themselves.)
    configuration_->loadAtStart();
    tables_->indice_a = 0;
    num_tableau = 0;
}

// ---------------------------------------------------------------- the bottom band and the menus

void Form1::Image2_Click() { bench_->flipSwitch(); }

void Form1::showSwitch(bool on)
{
    Image2->setPixmap(pictures::masterSwitch(places_.programDir(), on));
    Shape2->setVisible(on);
}

void Form1::n_a_propos_de_Click()
{
    QMessageBox::information(this, QStringLiteral("À propos de Pramelor"),
                             QStringLiteral("Pramelor pour 16F877 ver1.0 "));
}

void Form1::n_aide_Click()
{
    if (const QString problem = guide::openUserGuide(places_.programDir(), setup_.openUrl); !problem.isEmpty())
        showStatus(problem);
}

void Form1::Timer3_Timer() { Label18->setText(text::timeText(*clock_)); }

std::array<QColor, 8> Form1::lamps() const { return outputs_->lamps(); }

void Form1::n_port_Click() { configuration_->askPort(); }
void Form1::n_enr_param_Click() { configuration_->save(); }
void Form1::n_ports_serie_Click() { configuration_->editSerialPorts(); }
void Form1::n_enr_banc_Click() { benches_->save(); }
void Form1::n_ouvrir_banc_Click() { benches_->open(); }

// The file dialogs open on the kind of file they read or write (".txt"
// files, exports, bench files); overwriting asks first.
QString Form1::askPath(bool save, const QString &start)
{
    return setup_.askPath ? setup_.askPath(save, start) : askFilePath(this, save, start, places_.userSettingsFile());
}
void Form1::n_debug_Click() { Text1->open(bench_->buffer()); }
void Form1::Text1_Click() { Text1->hide(); }

void Form1::n_ouvrir_Click() { files_->openTables(); }
void Form1::n_enregistrer_Click() { files_->saveTables(); }
void Form1::n_imprime_Click() { files_->printScreen(); }
void Form1::n_export_csv_Click() { files_->exportCsv(); }
void Form1::n_export_png_Click() { files_->exportPicture(); }

void Form1::showStatus(const QString &message)
{
    if (status_line_) status_line_->setText(message);
}

QString Form1::statusText() const { return status_line_ ? status_line_->text() : QString(); }

bool Form1::journalRunning() const { return recorder_ && recorder_->running(); }

// ---------------------------------------------------------------- graph frame and tables

void Form1::n_graph_Click() { graph_->showView(); }

// The listing box shows the lines; their CR LF ends become the box's own.
void Form1::showListing(const QString &listing)
{
    listing_ = listing;
    graph_->text5()->setPlainText(QString(listing).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Form1::Command3_Click() { showListing(acquisition::clearTables(tables())); }

void Form1::Command23_Click()
{
    acquisition::randomFill(tables(), random_);
    Command26_Click();
}

void Form1::Command26_Click()
{
    const acquisition::TableView view = acquisition::tableViewStep(tables(), num_tableau);
    showListing(view.text);
    if (view.caption) graph_->command26()->setText(*view.caption);
}
