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
#include "graph/graph_frame_widget.h"
#include "shell/journal_widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>

void enableTimer(QTimer *t)
{
    if (!t->isActive()) t->start();
}

namespace {

constexpr int kClientWidth = 14535;
constexpr int kClientHeight = 9330;

QTimer *makeTimer(QObject *parent, const char *name, int periodMs, bool running)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(periodMs);
    if (running) t->start();
    return t;
}

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

QString indexed(const char *base, int i) { return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(i); }

}  // namespace

Form1::Form1() : Form1(Setup{}) {}

Form1::Form1(Setup setup) : setup_(std::move(setup)), tables_(std::make_unique<Tables>())
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

    serial_ = new SerialComponent(this);
    serial_->setObjectName(QStringLiteral("MSComm1"));
    connect(serial_, &SerialComponent::onComm, this, &Form1::MSComm1_OnComm);
    connect(serial_, &SerialComponent::statusChanged, this, &Form1::showStatus);
    loadDeviceMap();

    Timer1 = makeTimer(this, "Timer1", 600, true);
    Timer2 = makeTimer(this, "Timer2", 400, false);
    Timer3 = makeTimer(this, "Timer3", 600, true);
    Timer4 = makeTimer(this, "Timer4", 800, false);
    Timer8 = makeTimer(this, "Timer8", 400, false);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
    connect(Timer8, &QTimer::timeout, this, &Form1::Timer8_Timer);
    shutdown_wait_ = new QTimer(this);
    shutdown_wait_->setObjectName(QStringLiteral("shutdownWait"));
    shutdown_wait_->setTimerType(Qt::PreciseTimer);
    shutdown_wait_->setSingleShot(true);
    shutdown_wait_->setInterval(1000);
    connect(shutdown_wait_, &QTimer::timeout, this, [this] { finishShutdown(true); });

    buildMenus();
    buildOutputsFrame(client);
    analog_ = new AnalogFrame(*this, client);
    placement::place(analog_, 0, 3000, 11895, 1995);
    logic_ = new LogicFrame(*this, client);
    placement::place(logic_, 0, 5100, 11895, 1875);
    buildBottomBand(client);

    Text1 = new QPlainTextEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    placement::place(Text1, 11910, 180, kClientWidth - 11910 - 30, 8175);
    Text1->setStyleSheet(QStringLiteral("background-color: rgb(192,255,255);"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->viewport()->installEventFilter(this);
    Text1->hide();

    graph_ = new GraphFrame(*tables_, client);
    placement::place(graph_, 0, 60, 12000, 8235);
    graph_->hide();
    connect(graph_->command3(), &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(graph_->command23(), &QPushButton::clicked, this, &Form1::Command23_Click);
    connect(graph_->command26(), &QPushButton::clicked, this, &Form1::Command26_Click);
    connect(graph_, &GraphFrame::acquisitionHovered, this, [this](const QString &said, const QString &before) {
        if (!said.isEmpty() || statusText() == before) showStatus(said);  // other messages stay
    });
    journal_->follow(analog_, logic_);
    connect(journal_, &JournalPanel::tablesLoaded, this, &Form1::Command26_Click);
    // The graph follows the memorised acquisitions and measures in the analog units.
    graph_->setUnits(
        [analog = QPointer<AnalogFrame>(analog_)](int k) { return analog ? analog->unitText(k) : QString(); });
    connect(analog_, &AnalogFrame::acquisitionDecoded, graph_, &GraphFrame::acquisitionDecoded);
    connect(logic_, &LogicFrame::acquisitionDecoded, graph_, &GraphFrame::acquisitionDecoded);
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
    journal_ = new JournalPanel(this, *this, setup_.askPath, userSettingsFile());
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

void Form1::buildOutputsFrame(QWidget *client)
{
    auto *frame = new QGroupBox(QStringLiteral("Sorties à relais"), client);
    frame->setObjectName(QStringLiteral("Frame1"));
    placement::place(frame, 0, 60, 11895, 2895);

    static constexpr int labelStart[8] = {120, 1380, 2760, 4080, 5460, 6720, 8100, 9420};
    static constexpr int box[8] = {120, 1440, 2760, 4080, 5460, 6780, 8100, 9420};
    static constexpr int autoBox[8] = {540, 1860, 3180, 4500, 5880, 7200, 8520, 9840};
    static constexpr int lamp[8] = {180, 1500, 2820, 4140, 5460, 6840, 8160, 9480};
    static constexpr int button[8] = {120, 1440, 2760, 4080, 5400, 6780, 8100, 9420};
    static constexpr int separator[8] = {1320, 2700, 3960, 5340, 6660, 8040, 9300, 10680};
    const QString yellow = QStringLiteral("background-color: rgb(255,255,192);");

    for (int i = 0; i < 8; ++i) {
        label(frame, QStringLiteral("Heure de début"), QRectF(labelStart[i], 480, 1110, 195));
        label(frame, QStringLiteral("Heure de fin"), QRectF(box[i], 1200, 870, 195));
        heure1[size_t(i)] = new TimeBox(frame);
        heure1[size_t(i)]->setObjectName(indexed("heure1", i));
        placement::place(heure1[size_t(i)], box[i], 720, 1095, 285);
        heure2[size_t(i)] = new TimeBox(frame);
        heure2[size_t(i)]->setObjectName(indexed("heure2", i));
        placement::place(heure2[size_t(i)], box[i], 1440, 1095, 285);
        for (TimeBox *b : {heure1[size_t(i)], heure2[size_t(i)]}) b->setStyleSheet(yellow);
        heure1[size_t(i)]->setAccessibleName(QStringLiteral("Heure de début, sortie %1").arg(i + 1));
        heure2[size_t(i)]->setAccessibleName(QStringLiteral("Heure de fin, sortie %1").arg(i + 1));
        connect(heure1[size_t(i)], &TimeBox::mouseDown, this, [this, i](int b) { heure1_MouseDown(i, b); });
        connect(heure2[size_t(i)], &TimeBox::mouseDown, this, [this, i](int b) { heure2_MouseDown(i, b); });

        auto1[size_t(i)] = new QCheckBox(QStringLiteral("Auto"), frame);
        auto1[size_t(i)]->setObjectName(indexed("auto1", i));
        placement::place(auto1[size_t(i)], autoBox[i], 1800, 675, 255);

        lampe1[size_t(i)] = new Lamp(frame);
        lampe1[size_t(i)]->setObjectName(indexed("lampe1", i));
        placement::place(lampe1[size_t(i)], lamp[i], 1860, 255, 135);
        lampe1[size_t(i)]->setColor(outputs::lampOff());

        Command1[size_t(i)] = new PressButton(QStringLiteral("Forçage Sortie %1").arg(i + 1), frame);
        Command1[size_t(i)]->setObjectName(indexed("Command1", i));
        placement::place(Command1[size_t(i)], button[i], 2160, 1095, 615);
        connect(Command1[size_t(i)], &PressButton::mouseDown, this, [this, i](int b) { Command1_MouseDown(i, b); });

        auto *line = new LineElement(frame, QColor(0, 0, 255));
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        line->setTwips(separator[i], 360, separator[i], 2760);
    }
    label(frame, QStringLiteral("Général"), QRectF(10980, 420, 555, 195), "Label17");
    struct Global {
        const char *name;
        const char *text;
        int top;
        void (Form1::*slot)();
    };
    for (const Global &g : {Global{"Command11", "Sorties Inv", 720, &Form1::Command11_Click},
                            Global{"Command9", "Sorties à 0", 1440, &Form1::Command9_Click},
                            Global{"Command10", "Sorties à 1", 2160, &Form1::Command10_Click}}) {
        auto *b = new PressButton(QString::fromUtf8(g.text), frame);
        b->setObjectName(QString::fromLatin1(g.name));
        placement::place(b, 10860, g.top, 915, 615);
        connect(b, &QPushButton::clicked, this, g.slot);
    }
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
    tables_->indice_a = 0;
    num_tableau = 0;
    loadConfigurationLast();
}

// ---------------------------------------------------------------- master switch and shutdown

void Form1::Image2_Click()
{
    if (waiting_ || shutting_down_) return;  // the all-off command is on its way
    if (marche == 0) {
        marche = 1;
        noteOwed();
        output_since_ms_ = clock_->monotonicMs();
        Image2->setPixmap(switchPicture(true));
        enableTimer(Timer1);
        enableTimer(Timer4);
        Shape2->show();
    } else if (marche == 1) {
        marche = 0;
        Image2->setPixmap(switchPicture(false));
        Shape2->hide();
        Command9_Click();
        waitOneSecond();             // Timer4 fires in here and sends the byte 0
        if (shutting_down_) return;  // the shutdown, begun meanwhile, sees to the rest
        Timer1->stop();
        Timer4->stop();
        noteOwed();
    }
}

void Form1::n_a_propos_de_Click()
{
    QMessageBox::information(this, QStringLiteral("À propos de Pramelor"),
                             QStringLiteral("Pramelor pour 16F877 ver1.0 "));
}

void Form1::Timer3_Timer() { Label18->setText(text::timeText(*clock_)); }

// ---------------------------------------------------------------- outputs

std::array<QColor, 8> Form1::lamps() const
{
    std::array<QColor, 8> colours;
    for (size_t i = 0; i < 8; ++i) colours[i] = lampe1[i]->color();
    return colours;
}

void Form1::Command1_MouseDown(int index, int)
{
    if (index < 0 || index > 7) return;
    lampe1[size_t(index)]->setColor(outputs::toggled(lampe1[size_t(index)]->color()));
}

void Form1::Command9_Click()
{
    for (Lamp *l : lampe1) l->setColor(outputs::lampOff());
    if (serial_->isOpen()) serial_->close();
}

void Form1::Command10_Click()
{
    for (Lamp *l : lampe1) l->setColor(outputs::lampOn());
}

void Form1::Command11_Click()
{
    for (Lamp *l : lampe1) l->setColor(outputs::toggled(l->color()));
}

void Form1::Timer1_Timer()
{
    std::array<outputs::TimetableRow, 8> rows;
    for (size_t i = 0; i < 8; ++i) rows[i] = {heure1[i]->text(), heure2[i]->text(), auto1[i]->isChecked()};
    std::array<QColor, 8> colours = lamps();
    outputs::applyTimetable(colours, rows, [this] { return text::timeText(*clock_); });
    for (size_t i = 0; i < 8; ++i) lampe1[i]->setColor(colours[i]);
}

void Form1::heure1_MouseDown(int index, int button)
{
    if (button == 2 && index >= 0 && index < 8) heure1[size_t(index)]->setText(text::timeText(*clock_));
}

void Form1::heure2_MouseDown(int index, int button)
{
    if (button == 2 && index >= 0 && index < 8) heure2[size_t(index)]->setText(text::timeText(*clock_));
}

// ---------------------------------------------------------------- serial link

void Form1::MSComm1_OnComm(int kind)
{
    if (kind == SerialComponent::kReceived) appendToBuffer(serial_->readAll());
    if (!shutting_down_) enableTimer(Timer1);
}

void Form1::appendToBuffer(const QString &received)
{
    if (received.isEmpty()) return;
    buffer_ += received;
    if (buffer_.size() > kBufferCap) buffer_.remove(0, buffer_.size() - kBufferCap);
    if (Text1->isHidden()) return;
    // The visible box is rewritten only now and then, not on every piece.
    view_size_ += received.size();
    if (view_size_ > kViewCap + kViewCap / 4) {
        showBufferTail();
    } else {
        Text1->moveCursor(QTextCursor::End);
        Text1->insertPlainText(received);
    }
    Text1->moveCursor(QTextCursor::End);  // the newest characters in sight
}

void Form1::setBuffer(const QString &text)
{
    buffer_ = text;
    showBufferTail();
}

void Form1::showBufferTail()
{
    if (Text1->isHidden()) return;
    const QString tail = buffer_.right(kViewCap);
    view_size_ = tail.size();
    Text1->setPlainText(tail);
}

void Form1::n_port_Click()
{
    const QString answer = setup_
                               .askText(QStringLiteral("Changement du port de communication"),
                                        QStringLiteral("Port de communication"), board::portName(serial_->portNumber()))
                               .toUpper();
    if (serial_->isOpen()) serial_->close();
    if (const int n = board::portFromAnswer(answer)) serial_->setPortNumber(n);
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

bool Form1::linkFailing() const { return !serial_->lastError().isEmpty(); }

bool Form1::journalRunning() const { return journal_ && journal_->running(); }

// ---------------------------------------------------------------- graph frame, tables and files

void Form1::n_graph_Click() { graph_->showView(); }

// The listing box shows the lines; their CR LF ends become the box's own.
void Form1::showListing(const QString &listing)
{
    listing_ = listing;
    graph_->text5()->setPlainText(QString(listing).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Form1::Command3_Click() { showListing(acquisition::clearTables(*tables_)); }

void Form1::Command23_Click()
{
    acquisition::randomFill(*tables_, random_);
    Command26_Click();
}

void Form1::Command26_Click()
{
    const acquisition::TableView view = acquisition::tableViewStep(*tables_, num_tableau);
    showListing(view.text);
    if (view.caption) graph_->command26()->setText(*view.caption);
}
