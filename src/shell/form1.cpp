#include "shell/form1.h"

#include "link/protocol.h"
#include "link/serial_component.h"
#include "outputs/outputs.h"
#include "shell/controls.h"
#include "shell/scaled_view.h"
#include "text/numbers.h"
#include "text/placement_widget.h"

#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "engine/journal_recorder.h"
#include "graph/graph_frame_widget.h"
#include "outputs/outputs_frame_widget.h"
#include "shell/journal_widget.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>

namespace {

constexpr int kClientWidth = 14535;
constexpr int kClientHeight = 9330;

QLabel *label(QWidget *parent, const QString &text, QRectF r, const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    placement::place(l, r.x(), r.y(), r.width(), r.height());
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

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

Form1::Form1(Setup setup) : setup_(std::move(setup))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pramelor pour PIC 16F877"));
    if (setup_.clock) {
        clock_ = setup_.clock;
    } else {
        own_clock_ = std::make_unique<SystemClock>();
        clock_ = own_clock_.get();
    }
    program_dir_ = setup_.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : setup_.programDir;
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

    bench_ = new Bench(*clock_, this);
    tables_ = &bench_->tables();
    connect(bench_, &Bench::statusChanged, this, &Form1::showStatus);
    connect(bench_, &Bench::switchChanged, this, &Form1::showSwitch);
    connect(bench_, &Bench::received, this, &Form1::showReceived);
    connect(bench_, &Bench::bufferReplaced, this, &Form1::showBufferTail);
    loadDeviceMap();

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
    outputs_ = new OutputsFrame(*bench_, client);
    placement::place(outputs_, 0, 60, 11895, 2895);
    bench_->setTimetableSource(
        [frame = QPointer<OutputsFrame>(outputs_)] { return frame ? frame->timetable() : Bench::Timetable{}; });
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

    Text1 = new QPlainTextEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    placement::place(Text1, 11910, 180, kClientWidth - 11910 - 30, 8175);
    Text1->setStyleSheet(QStringLiteral("background-color: rgb(192,255,255);"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->viewport()->installEventFilter(this);
    Text1->hide();

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

    status_line_ = new QLabel(this);
    status_line_->setObjectName(QStringLiteral("statusLine"));
    // The line has its full height from the start: the first message must not
    // take a pixel from the form (which would then shrink its scale).
    status_line_->setText(QStringLiteral("Ég"));
    status_line_->setMinimumHeight(status_line_->sizeHint().height());
    status_line_->clear();
    statusBar()->addWidget(status_line_, 1);
    statusBar()->setSizeGripEnabled(false);

    fitCaptions(client);
    Form_Load();
    Timer3_Timer();
    resize(sizeHint());
}

Form1::~Form1() = default;

// ---------------------------------------------------------------- layout

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
    journal_ = new JournalPanel(this, *recorder_, *tables_, setup_.askPath, userSettingsFile());
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

namespace {

// The title picture: the project's own, 284 × 57 pixels.
QPixmap titlePicture()
{
    QPixmap pm(284, 57);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 57);
    g.setColorAt(0, QColor(20, 40, 110));
    g.setColorAt(1, QColor(60, 110, 190));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(255, 220, 80));
    QFont big(QStringLiteral("DejaVu Sans"), 20, QFont::Bold);
    p.setFont(big);
    p.drawText(QRect(0, 2, 284, 34), Qt::AlignCenter, QStringLiteral("PRAMELOR"));
    p.setPen(Qt::white);
    QFont small(QStringLiteral("DejaVu Sans"), 8);
    p.setFont(small);
    p.drawText(QRect(0, 34, 284, 20), Qt::AlignCenter, QStringLiteral("carte d'expérimentation PIC 16F877"));
    return pm;
}

// A lever switch drawn when the picture files are not beside the program.
QPixmap drawnSwitch(bool on)
{
    QPixmap pm(30, 41);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(90, 90, 90));
    p.drawRoundedRect(QRectF(3.5, 1.5, 23, 38), 4, 4);
    p.setBrush(on ? QColor(0, 200, 0) : QColor(200, 0, 0));
    const QRectF knob = on ? QRectF(7.5, 5.5, 15, 14) : QRectF(7.5, 21.5, 15, 14);
    p.drawRoundedRect(knob, 3, 3);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"), 5, QFont::Bold);
    p.setFont(f);
    p.drawText(on ? QRectF(4, 21, 22, 14) : QRectF(4, 6, 22, 14), Qt::AlignCenter,
               on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    return pm;
}

}  // namespace

QPixmap Form1::switchPicture(bool on) const
{
    const QString path = program_dir_ + (on ? QStringLiteral("/int2_on.dib") : QStringLiteral("/int2_off.dib"));
    QImage img;
    if (QFileInfo::exists(path) && img.load(path, "BMP")) return QPixmap::fromImage(img);
    return drawnSwitch(on);
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
    Image2->setPixmap(switchPicture(false));
    Image2->setScaledContents(true);  // the pictures grow with the form
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->setToolTip(QStringLiteral("Marche/arrêt"));
    Image2->setAccessibleName(QStringLiteral("Marche/arrêt"));
    connect(Image2, &ClickLabel::clicked, this, &Form1::Image2_Click);
    label(client, QStringLiteral("Marche/arrêt"), QRectF(180, 8040, 1200, 195), "Label66");

    auto *image1 = new QLabel(client);
    image1->setObjectName(QStringLiteral("Image1"));
    placement::place(image1, 3540, 7320, 4260, 855);
    image1->setPixmap(titlePicture());
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

// ---------------------------------------------------------------- start-up

void Form1::Form_Load()
{
    loadConfigurationFirst();
    // (The acquisition frames fill their interval and day lists themselves.)
    loadNumberOfAcquisitions();
    tables().indice_a = 0;
    num_tableau = 0;
    loadConfigurationLast();
}

// ---------------------------------------------------------------- master switch and shutdown

void Form1::Image2_Click() { bench_->flipSwitch(); }

void Form1::showSwitch(bool on)
{
    Image2->setPixmap(switchPicture(on));
    Shape2->setVisible(on);
}

void Form1::n_a_propos_de_Click()
{
    QMessageBox::information(this, QStringLiteral("À propos de Pramelor"),
                             QStringLiteral("Pramelor pour 16F877 ver1.0 "));
}

void Form1::Timer3_Timer() { Label18->setText(text::timeText(*clock_)); }

// ---------------------------------------------------------------- outputs

std::array<QColor, 8> Form1::lamps() const { return outputs_->lamps(); }

// ---------------------------------------------------------------- serial link

// Received characters are shown as they come while the debug box is open;
// the box is rewritten only now and then, not on every piece.
void Form1::showReceived(const QString &received)
{
    if (Text1->isHidden()) return;
    view_size_ += received.size();
    if (view_size_ > kViewCap + kViewCap / 4) {
        showBufferTail();
    } else {
        Text1->moveCursor(QTextCursor::End);
        Text1->insertPlainText(received);
    }
    Text1->moveCursor(QTextCursor::End);  // the newest characters in sight
}

void Form1::showBufferTail()
{
    if (Text1->isHidden()) return;
    const QString tail = bench_->buffer().right(kViewCap);
    view_size_ = tail.size();
    Text1->setPlainText(tail);
}

void Form1::n_port_Click()
{
    const QString answer =
        setup_
            .askText(QStringLiteral("Changement du port de communication"), QStringLiteral("Port de communication"),
                     board::portName(MSComm1().portNumber()))
            .toUpper();
    if (MSComm1().isOpen()) MSComm1().close();
    if (const int n = board::portFromAnswer(answer)) MSComm1().setPortNumber(n);
}

void Form1::n_debug_Click()
{
    Text1->show();
    showBufferTail();  // the hidden box is refreshed only when shown
    Text1->raise();
    Text1->moveCursor(QTextCursor::End);
}

void Form1::Text1_Click() { Text1->hide(); }

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1->viewport() && event->type() == QEvent::MouseButtonPress) Text1_Click();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::showStatus(const QString &message)
{
    if (status_line_) status_line_->setText(message);
}

QString Form1::statusText() const { return status_line_ ? status_line_->text() : QString(); }

bool Form1::journalRunning() const { return recorder_ && recorder_->running(); }

// ---------------------------------------------------------------- graph frame, tables and files

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
