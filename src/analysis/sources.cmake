# Session analysis windows.
