#pragma once
// The text page's editor box: plain text in a fixed-pitch font that saves exactly what it
// loaded plus the user's edits. The box itself knows one kind of line break; KeptText puts
// the loaded text's own line ends (CR LF, LF, lone CR, mixed) back when the text is taken.

#include "hub/KeptText.h"

#include <QPlainTextEdit>

#include <array>
#include <memory>

class XmlSyntaxColourer;

class TextPageWidget : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextPageWidget(QWidget* parent = nullptr);
    ~TextPageWidget() override;

    // Shows a text and remembers it as loaded.
    void loadText(const QString& text);
    // The text as it is to be saved.
    QString text() const;
    // Empties the box.
    void clearText() { loadText(QString()); }

    // Colours the text as XML (colours 0x00BBGGRR for text, tags, attribute names, values
    // and comments) until uncolourXml() or the next load, which shows its text plain.
    // Colouring sets formats only: what the box shows and saves stays as it was.
    void colourXml(const std::array<quint32, 5>& colours);
    void uncolourXml();
    bool isColoured() const { return colourer_ != nullptr; }

    // What the box shows, one "\n" per line break (non-breaking spaces kept as they are).
    QString shownText() const;

    // The rich text box operations that other windows use. Positions count the characters
    // of the shown text from 0, each line break being one character.
    enum FindOption { FindWholeWord = 2, FindMatchCase = 4 };
    // Finds text at or after position start (and ending at or before end, when end is not
    // negative), without regard to case unless FindMatchCase is given. Selects the match and
    // answers its position; answers -1, the selection unchanged, when there is none. Line
    // breaks in text (CR LF, LF or CR) match the breaks between the box's lines.
    qsizetype Find(const QString& text, qsizetype start = 0, qsizetype end = -1, int options = 0);
    // The selection: its start (the caret when nothing is selected), length and text.
    // Setting the start moves the caret there and empties the selection; setting the length
    // selects that many characters from the start; setting the text replaces the selection.
    qsizetype SelStart() const;
    void setSelStart(qsizetype position);
    qsizetype SelLength() const;
    void setSelLength(qsizetype length);
    QString SelText() const;
    void setSelText(const QString& text);
    // Replaces length characters at each of the positions (ascending, not overlapping) by
    // text, as one edit that one undo takes back; the caret stands after the last.
    void replaceAt(const QList<qsizetype>& positions, qsizetype length, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    KeptText kept_;
    bool loading_ = false;
    // Set while formats alone change (the colouring put on or taken off): the document
    // reports such changes as if its whole text had been replaced, which they are not.
    bool formatting_ = false;
    std::unique_ptr<XmlSyntaxColourer> colourer_;
};
