#pragma once
// Keeps a text's line ends while it is edited in a text box that knows only one kind of
// line break. The box shows the text with every line end (CR LF, LF or a lone CR) as "\n";
// when the text is saved, the parts the user did not touch come back exactly as they were
// loaded, byte for byte, and line breaks typed by the user take the text's usual line end.
//
// The box reports its changes (noteChange) so that separate edits stay separate: the text
// between two edits keeps its own line ends. The reports only sharpen the result: restore()
// checks every part it keeps against the text as loaded, so a missing or coarse report
// never puts wrong text into the result.

#include <QString>

#include <vector>

class KeptText {
public:
    // Remembers the text as loaded and returns it as the box shows it.
    QString load(const QString& original);

    // The box replaced `removed` characters at `position` (of the shown text) by `added`
    // characters.
    void noteChange(qsizetype position, qsizetype removed, qsizetype added);

    // The text to save for what the box shows now: the loaded text with the user's edits.
    QString restore(const QString& shown) const;

    // The line end that new line breaks get: the one the loaded text uses most (the first
    // one met on a tie), CR LF for a text without line ends.
    const QString& lineEnd() const { return lineEnd_; }
    const QString& original() const { return original_; }
    const QString& shown() const { return shown_; }

private:
    // A stretch of the shown text that the box has not changed since the load: it starts
    // at `now` in the box's text and at `loaded` in the shown text as loaded.
    struct Kept {
        qsizetype now;
        qsizetype loaded;
        qsizetype length;
    };

    // The position in the loaded text of a position in the shown text as loaded.
    qsizetype originalPosition(qsizetype shownPosition) const;
    // Appends the loaded text behind shown-as-loaded positions [from, to).
    void appendOriginal(QString& out, qsizetype from, qsizetype to) const;
    // Appends the text for a stretch that changed: now[nowFrom, nowTo) replaces the loaded
    // stretch [loadedFrom, loadedTo).
    void appendChanged(QString& out, const QString& now, qsizetype nowFrom, qsizetype nowTo, qsizetype loadedFrom,
                       qsizetype loadedTo) const;

    QString original_;
    QString shown_;
    QString lineEnd_ = QStringLiteral("\r\n");
    // Shown positions of the "\n" that stand for a CR LF, in order: the only line ends
    // whose length changes between the two texts.
    std::vector<qsizetype> crlfAt_;
    std::vector<Kept> kept_;
};
