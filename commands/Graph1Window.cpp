#include "commands/Graph1Window.h"

#include "common/AppError.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QVBoxLayout>
#include <QValueAxis>

namespace commands {

Graph1Window::Graph1Window(const std::vector<GraphPoint>& points, int numPoints, int labelEvery,
                           const QString& bottomTitle, const QString& leftTitle,
                           const QString& graphTitle, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(graphTitle);
    auto* set = new QBarSet(leftTitle);
    QStringList categories;
    std::vector<double> values(static_cast<std::size_t>(std::max(numPoints, 1)), 0.0);
    for (const GraphPoint& point : points) {
        if (point.x >= 0 && point.x < numPoints) {
            values[static_cast<std::size_t>(point.x)] = point.value;
        }
    }
    for (int x = 1; x < numPoints; ++x) {
        *set << values[static_cast<std::size_t>(x)];
        categories << (labelEvery > 0 && x % labelEvery == 0 ? QString::number(x)
                                                             : QString(x, QLatin1Char(' ')));
    }
    auto* series = new QBarSeries;
    series->append(set);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(graphTitle);
    chart->legend()->hide();
    auto* xAxis = new QBarCategoryAxis;
    xAxis->append(categories);
    xAxis->setTitleText(bottomTitle);
    chart->addAxis(xAxis, Qt::AlignBottom);
    series->attachAxis(xAxis);
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(leftTitle);
    chart->addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(yAxis);

    Graph1 = new QChartView(chart, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Graph1);
    resize(800, 500);
}

void mnuAnalyse_Click(int index, const QString& documentTitle, QWidget* parent) {
    std::optional<ValueSeries> series;
    try {
        const platform::WaitCursor busy;
        series = ValueGraphSeries(index == 0 ? 1 : 2);
    } catch (const std::exception& error) {
        platform::MsgBox(QString::fromStdString(error.what()), platform::Buttons::Ok,
                         platform::Icon::Critical);
        return;
    }
    if (!series) {
        return;
    }
    const platform::ProgramSettings& settings = platform::Settings();
    Graph1Window window(series->points, series->numPoints, series->labelEvery,
                        index == 0 ? settings.LabelNumeric1 : settings.LabelNumeric2,
                        QStringLiteral("OGUs"), documentTitle, parent);
    window.exec();
}

void mnuPhenolo_Click(std::span<const std::int64_t> selected, const QString& documentTitle,
                      QWidget* parent) {
    const auto sums = PhenologySums(selected);
    if (!sums) {
        return;
    }
    std::vector<GraphPoint> points;
    for (int month = 1; month <= 12; ++month) {
        if (const auto& sum = (*sums)[static_cast<std::size_t>(month - 1)]) {
            points.push_back({month, *sum});
        }
    }
    Graph1Window window(points, 13, 1, QString(), QStringLiteral("N"), documentTitle, parent);
    window.exec();
}

} // namespace commands
