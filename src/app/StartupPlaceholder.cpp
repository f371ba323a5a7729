// Placeholder translation unit until the main window lands.
