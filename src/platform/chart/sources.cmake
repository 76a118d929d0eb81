# The chart widget (stand-in for the charting component): the arithmetic
# (mapping, reduction, bisection, ticks, zoom history) in pv_platform, the
# widget in pv_platformui.
target_sources(pv_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/chartmath.cpp
)
target_sources(pv_platformui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/chart.cpp
)
