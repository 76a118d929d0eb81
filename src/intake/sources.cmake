# Data key link, key memory, download, upload, dump files, session import.
