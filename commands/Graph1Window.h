#pragma once

// The window of the analysis graphs: one bar series with its titles, shown modally.

#include "commands/AnalysisSeries.h"

#include <QDialog>

class QChart;
class QChartView;

namespace commands {

class Graph1Window : public QDialog {
    Q_OBJECT
public:
    // `points` at their x positions 1..numPoints - 1 (missing points stay empty).
    Graph1Window(const std::vector<GraphPoint>& points, int numPoints, int labelEvery,
                 const QString& bottomTitle, const QString& leftTitle, const QString& graphTitle,
                 QWidget* parent = nullptr);

    QChartView* Graph1 = nullptr;
};

// Counts distinct positions per value of N1 (item 0) or N2 (item 1) and shows the graph; a table
// whose maximum is 0 shows nothing, one that is too wide shows the critical message.
void mnuAnalyse_Click(int index, const QString& documentTitle, QWidget* parent);

// Sums N1 per month over the selected rows (all when none) and shows the graph.
void mnuPhenolo_Click(std::span<const std::int64_t> selected, const QString& documentTitle,
                      QWidget* parent);

} // namespace commands
