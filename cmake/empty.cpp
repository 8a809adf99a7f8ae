// Placeholder translation unit for libraries without sources.
