// The benchmark form's marks drawn straight through QPainter onto a QPdfWriter: the yardstick
// for zentova-print's PDF output.
#pragma once

// Writes `pages` pages of the form (with kanji: formgen::PageLabels) to the PDF file
// `path` with the same coordinates, pen and font as the command file; returns 0, or 2
// when the file could not be written. Needs a QGuiApplication.
int WriteFormWithQPainter(const char *path, int pages, bool kanji = false);
