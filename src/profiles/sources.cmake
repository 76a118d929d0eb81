# Drivers, tracks, vehicle set-ups: catalogue logic (pv_profiles) and windows (pv_ui).
