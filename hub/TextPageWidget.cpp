#include "hub/TextPageWidget.h"

#include "hub/TextSearch.h"
#include "hub/xml/XmlColouring.h"

#include <QFont>
#include <QFontDatabase>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TextPageWidget::TextPageWidget(QWidget* parent) : QPlainTextEdit(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab stops every 720 twips (48 pixels), as in the game tools' text boxes.
    setTabStopDistance(48);

    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        if (!loading_ && !formatting_)
            kept_.noteChange(position, removed, added);
    });
}

TextPageWidget::~TextPageWidget()
{
    formatting_ = true;
    colourer_.reset();
}

void TextPageWidget::colourXml(const std::array<quint32, 5>& colours)
{
    uncolourXml();
    formatting_ = true;
    // The colourer then follows edits by itself: the formats it sets while an edit is
    // reported join that edit's change for the layout, and report nothing of their own.
    colourer_ = std::make_unique<XmlSyntaxColourer>(colours, document());
    formatting_ = false;
    viewport()->update();
}

void TextPageWidget::uncolourXml()
{
    if (!colourer_)
        return;
    formatting_ = true;
    colourer_.reset();
    formatting_ = false;
}

void TextPageWidget::paintEvent(QPaintEvent* event)
{
    // The lines about to be shown get their colours (one line per text line: no wrapping).
    if (colourer_) {
        const int lines = viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 2;
        formatting_ = true;
        colourer_->showLines(firstVisibleBlock(), lines);
        formatting_ = false;
    }
    QPlainTextEdit::paintEvent(event);
}

void TextPageWidget::loadText(const QString& text)
{
    uncolourXml();
    loading_ = true;
    setPlainText(kept_.load(text));
    loading_ = false;
}

QString TextPageWidget::shownText() const
{
    // toPlainText() would turn non-breaking spaces into blanks; the raw text keeps them and
    // separates the lines with paragraph separators.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

QString TextPageWidget::text() const
{
    return kept_.restore(shownText());
}

qsizetype TextPageWidget::Find(const QString& text, qsizetype start, qsizetype end, int options)
{
    const QString what = hub::searchLines(text);
    if (what.isEmpty() || start < 0 || start > document()->characterCount() - 1)
        return -1;
    qsizetype found = -1;
    if (what.contains(QLatin1Char('\n'))) {
        // A search text with line breaks matches across lines: the shown text is searched
        // as a whole (the document's own find looks within one line at a time).
        found = hub::findInText(shownText(), what, start, end, options);
    } else {
        // Line by line from the start, so a near match is found without taking the whole text.
        for (QTextBlock block = document()->findBlock(int(start)); block.isValid(); block = block.next()) {
            const qsizetype at = block.position();
            if (end >= 0 && at + what.size() > end)
                break;
            const qsizetype inLine = hub::findInText(block.text(), what, std::max<qsizetype>(start - at, 0),
                                                     end >= 0 ? end - at : -1, options);
            if (inLine >= 0) {
                found = at + inLine;
                break;
            }
        }
    }
    if (found < 0)
        return -1;
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(found));
    cursor.setPosition(int(found + what.size()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    return found;
}

qsizetype TextPageWidget::SelStart() const
{
    return textCursor().selectionStart();
}

void TextPageWidget::setSelStart(qsizetype position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(std::clamp<qsizetype>(position, 0, document()->characterCount() - 1)));
    setTextCursor(cursor);
}

qsizetype TextPageWidget::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TextPageWidget::setSelLength(qsizetype length)
{
    QTextCursor cursor = textCursor();
    const qsizetype start = cursor.selectionStart();
    const qsizetype last = document()->characterCount() - 1;
    cursor.setPosition(int(start));
    cursor.setPosition(int(std::clamp<qsizetype>(start + std::max<qsizetype>(length, 0), start, last)),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString TextPageWidget::SelText() const
{
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return selected;
}

void TextPageWidget::setSelText(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void TextPageWidget::replaceAt(const QList<qsizetype>& positions, qsizetype length, const QString& text)
{
    if (positions.isEmpty())
        return;
    // The document reports an edit block as one change from the first replacement to the
    // end of the last, which would take the line ends between them as retyped: each
    // replacement is noted on its own instead.
    const qsizetype before = document()->characterCount();
    QTextCursor cursor(document());
    loading_ = true;
    cursor.beginEditBlock();
    for (auto at = positions.crbegin(); at != positions.crend(); ++at) {
        cursor.setPosition(int(*at));
        cursor.setPosition(int(*at + length), QTextCursor::KeepAnchor);
        cursor.insertText(text);
    }
    cursor.endEditBlock();
    loading_ = false;
    // Line ends in the replacement become one break each.
    const qsizetype added = length + (document()->characterCount() - before) / positions.size();
    const qsizetype shift = added - length;
    for (qsizetype i = 0; i < positions.size(); ++i)
        kept_.noteChange(positions.at(i) + i * shift, length, added);
    cursor.setPosition(int(positions.last() + (positions.size() - 1) * shift + added));
    setTextCursor(cursor);
}
