# Tests of the analysis: samples.
