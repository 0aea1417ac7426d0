#include "hub/TextPageWidget.h"

#include <QFont>
#include <QFontDatabase>
#include <QTextDocument>

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
