# Tests of the analysis: gps.
