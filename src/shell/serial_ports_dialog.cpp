#include "shell/serial_ports_dialog.h"

#include "link/port_check.h"
#include "link/protocol.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

SerialPortsDialog::SerialPortsDialog(const board::PortMap &map, QWidget *parent) : QDialog(parent), map_(map)
{
    setObjectName(QStringLiteral("SerialPortsDialog"));
    setWindowTitle(QStringLiteral("Ports série"));
    auto *layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(
        QStringLiteral("Périphériques série (ceux qui sont branchés, puis ceux attachés à un port) :"), this));
    devices_ = new QTableWidget(0, 5, this);
    devices_->setObjectName(QStringLiteral("devices"));
    devices_->setHorizontalHeaderLabels({QStringLiteral("Périphérique"), QStringLiteral("Description"),
                                         QStringLiteral("Fabricant"), QStringLiteral("N° de série"),
                                         QStringLiteral("État")});
    devices_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    devices_->setSelectionBehavior(QAbstractItemView::SelectRows);
    devices_->setSelectionMode(QAbstractItemView::SingleSelection);
    devices_->verticalHeader()->hide();
    devices_->horizontalHeader()->setStretchLastSection(true);
    devices_->setMinimumWidth(640);
    layout->addWidget(devices_);
    auto *again = new QPushButton(QStringLiteral("Actualiser la liste"), this);
    again->setObjectName(QStringLiteral("refresh"));
    connect(again, &QPushButton::clicked, this, &SerialPortsDialog::refresh);
    layout->addWidget(again, 0, Qt::AlignLeft);

    layout->addWidget(new QLabel(QStringLiteral("Périphérique de chaque port (choisi dans la liste ou tapé ; "
                                                "vide : le port par défaut) :"),
                                 this));
    auto *grid = new QGridLayout;
    for (int n = 1; n <= 4; ++n) {
        const auto i = size_t(n - 1);
        grid->addWidget(new QLabel(QStringLiteral("COM%1").arg(n), this), n - 1, 0);
        auto *box = new QComboBox(this);
        box->setObjectName(QStringLiteral("COM%1").arg(n));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(40);
        box->lineEdit()->setPlaceholderText(QStringLiteral("par défaut : %1").arg(board::defaultDevice(n)));
        choice_[i] = box;
        grid->addWidget(box, n - 1, 1);
        auto *take = new QPushButton(QStringLiteral("Prendre la ligne choisie"), this);
        take->setObjectName(QStringLiteral("take_COM%1").arg(n));
        connect(take, &QPushButton::clicked, this, [this, n] { attachSelected(n); });
        grid->addWidget(take, n - 1, 2);
        const QString env = board::environmentDevice(n);
        if (!env.isEmpty()) {
            auto *note =
                new QLabel(QStringLiteral("PRAMELOR_COM%1 impose %2 tant qu'elle est définie").arg(n).arg(env), this);
            note->setObjectName(QStringLiteral("note_COM%1").arg(n));
            grid->addWidget(note, n - 1, 3);
        }
    }
    layout->addLayout(grid);
    current_ = new QLabel(this);
    current_->setObjectName(QStringLiteral("current"));
    current_->hide();
    layout->addWidget(current_);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    refresh();
}

namespace {

// A device the system does not report: unplugged, or a typed name that is
// no serial port at all (a file, a folder), or one the user may not open.
QString stateOf(const board::SerialDevice &d)
{
    if (d.present) return QStringLiteral("branché");
    const board::PortCheck check = board::checkPortDevice(d.path);
    switch (check.access) {
    case board::PortAccess::Missing:
        return QStringLiteral("débranché");
    case board::PortAccess::Usable:
        return QStringLiteral("présent");
    case board::PortAccess::NotAPort:
    case board::PortAccess::Refused:
        return check.reason;
    }
    return QString();
}

}  // namespace

void SerialPortsDialog::refresh() { setDevices(board::presentDevices()); }

void SerialPortsDialog::setDevices(const QList<board::SerialDevice> &present)
{
    const board::PortMap shown = portMap();  // keep what the user typed so far
    const QList<board::SerialDevice> offered = board::offeredDevices(present, shown);
    devices_->setRowCount(int(offered.size()));
    for (int r = 0; r < offered.size(); ++r) {
        const board::SerialDevice &d = offered.at(r);
        const QStringList cells{d.path, d.description, d.manufacturer, d.serialNumber, stateOf(d)};
        for (int c = 0; c < cells.size(); ++c) devices_->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    devices_->resizeColumnsToContents();
    // Wide enough for every column, within reason: a state says why a
    // device cannot serve.
    int width = 2 * devices_->frameWidth() + 4;
    for (int c = 0; c < devices_->columnCount(); ++c) width += devices_->columnWidth(c);
    devices_->setMinimumWidth(std::clamp(width, 640, 1100));
    for (size_t i = 0; i < 4; ++i) {
        QComboBox *box = choice_[i];
        box->clear();
        box->addItem(QString());
        for (const board::SerialDevice &d : offered) box->addItem(d.path);
        box->setEditText(shown[i]);
    }
}

board::PortMap SerialPortsDialog::portMap() const
{
    board::PortMap map = map_;
    for (size_t i = 0; i < 4; ++i) {
        if (!choice_[i] || choice_[i]->count() == 0) continue;
        const QString text = choice_[i]->currentText().trimmed();
        map[i] = text.isEmpty() ? text : board::stablePath(text, by_id_);
    }
    return map;
}

void SerialPortsDialog::setCurrentPort(int number)
{
    const QString name = board::portName(number);
    if (name.isEmpty())
        current_->setText(
            QStringLiteral("Le panneau utilise maintenant le port %1, qui n'est aucun de COM1 … COM4.").arg(number));
    else
        current_->setText(
            QStringLiteral("Le panneau utilise maintenant %1 : %2.").arg(name, board::portDevice(number, map_)));
    current_->show();
}

void SerialPortsDialog::attachSelected(int number)
{
    const int row = devices_->currentRow();
    if (row < 0 || !devices_->item(row, 0)) return;
    choice_[size_t(number - 1)]->setEditText(devices_->item(row, 0)->text());
}
