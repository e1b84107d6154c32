#pragma once

class QFontMetrics;
class QWidget;

namespace fee {

class GridModel;

// Centres a window in the main window's client area: left = (client width -
// outer width) / 2, top likewise; negative when the window is the larger. A
// child of the client area is placed in its coordinates, a top-level window
// on the screen over the client area.
void CenterInMdi(QWidget* window, QWidget* mdiClientArea);

// The child frame of the main window that holds a window, or the window
// itself when it stands alone: what closes when the window's exit is pressed.
QWidget* windowFrame(QWidget* window);

// Sets each column to its widest text (all rows, fixed ones included) plus 90
// twips, measured with the given metrics; columns whose fixed-cell alignment
// is 9 (general) keep their width.
void AutoFitColumns(GridModel& grid, const QFontMetrics& metrics);

} // namespace fee
