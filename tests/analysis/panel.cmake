# Tests of the analysis: panel.
