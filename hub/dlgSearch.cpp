#include "hub/dlgSearch.h"

#include "common/SharedState.h"
#include "hub/TextPageWidget.h"
#include "hub/TextSearch.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "common/WindowPartsWidgets.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
platform::OneWindow<dlgSearch> openWindow;

QPlainTextEdit* searchBox(QWidget* parent, const char* name)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    return box;
}

} // namespace

dlgSearch* dlgSearch::showDialog(TextPageWidget* page, QWidget* parent)
{
    return &openWindow.show([&] { return new dlgSearch(page, parent); });
}

dlgSearch* dlgSearch::existing()
{
    return openWindow.loaded();
}

void dlgSearch::unloadDialog()
{
    openWindow.unload();
}

dlgSearch::dlgSearch(TextPageWidget* page, QWidget* parent) : QDialog(parent), page_(page)
{
    setObjectName(QStringLiteral("dlgSearch"));
    setWindowTitle(QStringLiteral("Search"));
    setModal(false);

    Text2 = searchBox(this, "Text2");
    Text3 = searchBox(this, "Text3");
    Text2->installEventFilter(this);
    Check1 = new QCheckBox(QStringLiteral("Whole Word only"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command4 = windowparts::makeQuietButton(this, QStringLiteral("Command4"), QStringLiteral("Find"),
                      QStringLiteral("Find the word in the top box, keep clicking to cycle through all instances"));
    Command2 = windowparts::makeQuietButton(this, QStringLiteral("Command2"), QStringLiteral("Find Next"));
    Command5 = windowparts::makeQuietButton(this, QStringLiteral("Command5"), QStringLiteral("Replace"),
                      QStringLiteral("Replace selected word with the one in replace box"));
    Command6 = windowparts::makeQuietButton(this, QStringLiteral("Command6"), QStringLiteral("Replace All"),
                      QStringLiteral("Replaces all instances of top string with the one in the bottom box."));
    Command1 = windowparts::makeQuietButton(this, QStringLiteral("Command1"), QStringLiteral("Clear All"));
    OKButton = windowparts::makeQuietButton(this, QStringLiteral("OKButton"), QStringLiteral("Close"));

    menuBar = new QMenuBar(this);
    mnuFN = menuBar->addMenu(QStringLiteral("  "));
    mnuNext = mnuFN->addAction(QStringLiteral("F3"));
    mnuNext->setShortcut(QKeySequence(Qt::Key_F3));
    mnuNext->setShortcutContext(Qt::WindowShortcut);
    // Also on the window itself, so the key works while the menu bar is not shown natively.
    addAction(mnuNext);

    auto* grid = new QGridLayout;
    grid->addWidget(Text2, 0, 0, 3, 1);
    grid->addWidget(Command4, 0, 1);
    grid->addWidget(Command2, 1, 1);
    grid->addWidget(Check1, 2, 1);
    grid->addWidget(Text3, 3, 0, 3, 1);
    grid->addWidget(Command5, 3, 1);
    grid->addWidget(Command6, 4, 1);
    grid->addWidget(Command1, 5, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(Command4, &QPushButton::clicked, this, &dlgSearch::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &dlgSearch::Command2_Click);
    connect(Command5, &QPushButton::clicked, this, &dlgSearch::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &dlgSearch::Command6_Click);
    connect(Command1, &QPushButton::clicked, this, &dlgSearch::Command1_Click);
    connect(OKButton, &QPushButton::clicked, this, &dlgSearch::OKButton_Click);
    connect(mnuNext, &QAction::triggered, this, &dlgSearch::mnuNext_Click);
    resize(420, 260);
    platform::openOnScreen(this);
}

dlgSearch::~dlgSearch() = default;

int dlgSearch::findOptions() const
{
    return Check1->isChecked() ? TextPageWidget::FindWholeWord : 0;
}

namespace hub {

qsizetype FindOnPage(TextPageWidget* page, const QString& word, FindFrom from, int options)
{
    if (word.isEmpty() || !page)
        return -1;
    SharedState& s = shared();
    s.SearchStartPos = from == FindFrom::TextStart ? 0 : page->SelStart() + 1;
    s.SearchFoundPos = page->Find(word, s.SearchStartPos, -1, options);
    return s.SearchFoundPos;
}

} // namespace hub

// Find, Replace and Replace All start at the text's first character, so a match there is
// found too; Find Next starts one character after the caret. Letter case never counts.

void dlgSearch::Command4_Click()
{
    hub::FindOnPage(page_, Text2->toPlainText(), hub::FindFrom::TextStart, findOptions());
}

void dlgSearch::Command2_Click()
{
    hub::FindOnPage(page_, Text2->toPlainText(), hub::FindFrom::AfterCaret, findOptions());
}

void dlgSearch::Command5_Click()
{
    // The first match is replaced, whatever is selected: repeated clicks go down the text.
    if (hub::FindOnPage(page_, Text2->toPlainText(), hub::FindFrom::TextStart) >= 0)
        page_->setSelText(Text3->toPlainText());
}

void dlgSearch::Command6_Click()
{
    const QString word = hub::searchLines(Text2->toPlainText());
    if (word.isEmpty() || !page_)
        return;
    // Every match from the start, each search beginning after the text put in for the last,
    // so a replacement holding the word still ends; one edit, which one undo takes back.
    const QList<qsizetype> matches = hub::matchesToReplace(page_->shownText(), word);
    SharedState& s = shared();
    s.SearchStartPos = 0;
    s.SearchFoundPos = -1;
    if (matches.isEmpty())
        return;
    page_->replaceAt(matches, word.size(), Text3->toPlainText());
    // The last search began after the last replacement and found nothing.
    s.SearchStartPos = page_->SelStart();
}

void dlgSearch::Command1_Click()
{
    Text2->clear();
    Text3->clear();
}

void dlgSearch::OKButton_Click()
{
    reject();
}

void dlgSearch::mnuNext_Click()
{
    Command4_Click();
}

void dlgSearch::Text2_KeyDown(int keyCode)
{
    if (keyCode == 13)
        Command4->click();
}

void dlgSearch::reject()
{
    QDialog::reject();
    // Unloaded: the next use starts with empty boxes.
    deleteLater();
}

bool dlgSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            Text2_KeyDown(13);
        // The key goes on to the box, which takes several lines.
    }
    return QDialog::eventFilter(watched, event);
}
