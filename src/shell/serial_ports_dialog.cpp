#include "shell/serial_ports_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

SerialPortsDialog::SerialPortsDialog(const board::PortMap &map, QWidget *parent) : QDialog(parent), map_(map)
{
    setObjectName(QStringLiteral("SerialPortsDialog"));
    setWindowTitle(QStringLiteral("Ports série"));
    auto *layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(QStringLiteral("Périphériques série branchés :"), this));
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

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    refresh();
}

void SerialPortsDialog::refresh() { setDevices(board::presentDevices()); }

void SerialPortsDialog::setDevices(const QList<board::SerialDevice> &present)
{
    const board::PortMap shown = portMap();  // keep what the user typed so far
    const QList<board::SerialDevice> offered = board::offeredDevices(present, shown);
    devices_->setRowCount(int(offered.size()));
    for (int r = 0; r < offered.size(); ++r) {
        const board::SerialDevice &d = offered.at(r);
        const QStringList cells{d.path, d.description, d.manufacturer, d.serialNumber,
                                d.present ? QStringLiteral("branché") : QStringLiteral("débranché")};
        for (int c = 0; c < cells.size(); ++c) devices_->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    devices_->resizeColumnsToContents();
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
    for (size_t i = 0; i < 4; ++i)
        if (choice_[i] && choice_[i]->count() > 0) map[i] = choice_[i]->currentText().trimmed();
    return map;
}

void SerialPortsDialog::attachSelected(int number)
{
    const int row = devices_->currentRow();
    if (row < 0 || !devices_->item(row, 0)) return;
    choice_[size_t(number - 1)]->setEditText(devices_->item(row, 0)->text());
}
