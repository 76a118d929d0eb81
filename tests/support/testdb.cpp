// implemented with the data module
