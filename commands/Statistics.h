#pragma once

// The statistics of the numeric fields N1 and N2 and the transformations of their values.

#include <QString>
#include <optional>

namespace commands {

struct FieldStatistics {
    std::optional<double> mean;  // none without any value
    std::optional<double> stdev; // sample deviation (n - 1); none below two values
};

struct NumericStatistics {
    FieldStatistics n1;
    FieldStatistics n2;
};

// Over the whole working table, Null values left out.
NumericStatistics ComputeStatistics();

// A value under the pattern "######.##": no leading zero, at most two decimals rounded half away
// from zero, trailing zeros dropped, the decimal mark `mark` ("12." for twelve, ".5" for a half).
QString PatternText(double value, QChar mark);

// The statistics message: none when a deviation cannot be computed (then the error text).
QString StatisticsMessage(const NumericStatistics& statistics, const QString& label1,
                          const QString& label2, QChar mark);
QString DeviationErrorText();

// "Paramètres statistiques": shows the message; nothing is written.
void MnuParametres();

// Rewrites N1 and N2 of the rows the grid shows: 0 as 1 + log10 of the value, 1 as
// 1 + (value - mean) / deviation. Values that have no logarithm (Null, 0, negative) are left as
// they are. One transaction; FileModified is set when a value changed. False when nothing was
// done (no row, or item 1 without a deviation).
bool MnuStd(int index);

} // namespace commands
