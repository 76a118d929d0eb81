# Tests of the analysis: charts.
