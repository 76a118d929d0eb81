# Tests of the analysis: choice.
