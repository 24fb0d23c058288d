#include "graph/measures_widget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

MeasuresWindow::MeasuresWindow(QWidget *owner) : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("Mesures"));
    setWindowTitle(QStringLiteral("Mesures"));
    // The surface keeps the keyboard: Escape there still clears the markers.
    setAttribute(Qt::WA_ShowWithoutActivating);

    tableau_ = new QTableWidget(this);
    tableau_->setObjectName(QStringLiteral("tableau"));
    tableau_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableau_->verticalHeader()->hide();
    tableau_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    tableau_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableau_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableau_->setSelectionMode(QAbstractItemView::NoSelection);
    tableau_->setFocusPolicy(Qt::NoFocus);

    copier_ = new QPushButton(QStringLiteral("Copier"), this);
    copier_->setObjectName(QStringLiteral("copier"));
    connect(copier_, &QPushButton::clicked, this, &MeasuresWindow::copier_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copier_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableau_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void MeasuresWindow::setTable(const graph::MeasureTable &table)
{
    if (table == table_ && tableau_->rowCount() == table.rows.size()) return;
    table_ = table;
    tableau_->clear();
    tableau_->setColumnCount(int(table.header.size()));
    tableau_->setRowCount(int(table.rows.size()));
    tableau_->setHorizontalHeaderLabels(table.header);
    for (int r = 0; r < table.rows.size(); ++r) {
        const QStringList &row = table.rows[r];
        for (int c = 0; c < row.size(); ++c) {
            auto *item = new QTableWidgetItem(row[c]);
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            tableau_->setItem(r, c, item);
        }
    }
    tableau_->resizeColumnsToContents();
    tableau_->resizeRowsToContents();
}

void MeasuresWindow::copier_Click() { QGuiApplication::clipboard()->setText(graph::tabSeparated(table_)); }

void MeasuresWindow::appear()
{
    if (!placed_ && parentWidget()) {
        placed_ = true;
        adjustSize();
        // At the right of the main window, kept on its screen.
        const QWidget *main = parentWidget()->window();
        QPoint at = main->frameGeometry().topRight() + QPoint(8, 0);
        if (const QScreen *screen = main->screen()) {
            const QRect room = screen->availableGeometry();
            at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
            at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height())));
        }
        move(at);
    }
    show();
}
