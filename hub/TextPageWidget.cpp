#include "hub/TextPageWidget.h"

#include <QFont>
#include <QFontDatabase>
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
        if (!loading_)
            kept_.noteChange(position, removed, added);
    });
}

void TextPageWidget::loadText(const QString& text)
{
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
    const qsizetype length = document()->characterCount() - 1; // without the final separator
    if (text.isEmpty() || start < 0 || start > length)
        return -1;
    QTextDocument::FindFlags flags;
    if (options & FindWholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & FindMatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor found = document()->find(text, int(start), flags);
    if (found.isNull() || (end >= 0 && found.selectionEnd() > end))
        return -1;
    setTextCursor(found);
    return found.selectionStart();
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
