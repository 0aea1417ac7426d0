#pragma once
// List rows of the form "name<tab>folder" drawn with one tab stop, so that the folders stand
// in a column, as a list box with a tab stop set shows them.

class QListWidget;
class QString;

// The tab stop of a list, given in dialog units (a quarter of the average character width of
// the list's font), converted to pixels.
int tabStopPixels(const QListWidget* list, int dialogUnits);

// Makes the list draw its rows with one tab stop at tabPixels.
void setTabStopRows(QListWidget* list, int tabPixels);

// The width a list drawn with setTabStopRows needs to show its rows whole when the text after
// the tab stop is as wide as `after` in the list's font: its frame, a row's margins, the tab
// stop, that text, and room for a vertical scroll bar, so that a long list does not cut them.
int tabStopRowsWidth(const QListWidget* list, int tabPixels, const QString& after);
