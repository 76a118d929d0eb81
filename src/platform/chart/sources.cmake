# The chart widget (stand-in for the charting component).
