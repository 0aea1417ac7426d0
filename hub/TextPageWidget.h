#pragma once
// The text page's editor box: plain text in a fixed-pitch font that saves exactly what it
// loaded plus the user's edits. The box itself knows one kind of line break; KeptText puts
// the loaded text's own line ends (CR LF, LF, lone CR, mixed) back when the text is taken.

#include "hub/KeptText.h"

#include <QPlainTextEdit>

class TextPageWidget : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextPageWidget(QWidget* parent = nullptr);

    // Shows a text and remembers it as loaded.
    void loadText(const QString& text);
    // The text as it is to be saved.
    QString text() const;
    // Empties the box.
    void clearText() { loadText(QString()); }

    // What the box shows, one "\n" per line break (non-breaking spaces kept as they are).
    QString shownText() const;

private:
    KeptText kept_;
    bool loading_ = false;
};
