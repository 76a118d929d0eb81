# Tests of the chart widget.
