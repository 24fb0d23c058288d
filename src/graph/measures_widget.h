#pragma once
// "Mesures": the small window beside the graph that lists what lies between
// the markers A and B, with "Copier" to put the table on the clipboard as
// tab-separated text. It floats over the main window without taking the
// keyboard from it, and the user may close it at any time.

#include "graph/markers.h"

#include <QWidget>

class QPushButton;
class QTableWidget;

class MeasuresWindow : public QWidget {
    Q_OBJECT
public:
    explicit MeasuresWindow(QWidget *owner);

    void setTable(const graph::MeasureTable &table);
    // Shows the window; the first time beside the main window, afterwards
    // where the user left it.
    void appear();
    const graph::MeasureTable &table() const { return table_; }

public slots:
    void copier_Click();

private:
    QTableWidget *tableau_ = nullptr;
    QPushButton *copier_ = nullptr;
    graph::MeasureTable table_;
    bool placed_ = false;
};
