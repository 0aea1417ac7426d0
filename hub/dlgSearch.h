#pragma once
// The text page's search: a small window beside the main window that finds a text in the
// text page, one match after the other, and replaces the first or every match. It works on
// whatever the page holds at each click, and writes where each search started and what it
// found into the shared state.

#include <QDialog>
#include <QPointer>

class QAction;
class QCheckBox;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class TextPageWidget;

namespace hub {

// Where a search of the text page starts: Find at the text's first character, so a match
// there is found too; Find Next one character after the caret.
enum class FindFrom { TextStart, AfterCaret };

// Find and Find Next of the text page's search windows: finds word on page from where from
// says (letter case ignored; options are the page's find options), selects the match and
// writes where the search started and where it found the word (-1: nowhere) into the shared
// state. Returns that position; an empty word, or a page that is gone, finds nothing and
// leaves the shared state as it was.
qsizetype FindOnPage(TextPageWidget* page, const QString& word, FindFrom from, int options = 0);

} // namespace hub

class dlgSearch : public QDialog {
    Q_OBJECT
public:
    // Shows the window on page without blocking, creating it on first use; a second call
    // brings the open window to the front with its texts as they are.
    static dlgSearch* showDialog(TextPageWidget* page, QWidget* parent = nullptr);
    // The open window, or null when there is none.
    static dlgSearch* existing();
    // Unloads the open window, if any, at once.
    static void unloadDialog();

    explicit dlgSearch(TextPageWidget* page, QWidget* parent = nullptr);
    ~dlgSearch() override;

    QPlainTextEdit* Text2 = nullptr; // the text to find (several lines)
    QPlainTextEdit* Text3 = nullptr; // its replacement
    QCheckBox* Check1 = nullptr;     // "Whole Word only"
    QPushButton* Command4 = nullptr; // "Find"
    QPushButton* Command2 = nullptr; // "Find Next"
    QPushButton* Command5 = nullptr; // "Replace"
    QPushButton* Command6 = nullptr; // "Replace All"
    QPushButton* Command1 = nullptr; // "Clear All"
    QPushButton* OKButton = nullptr; // "Close"
    QMenuBar* menuBar = nullptr;
    QMenu* mnuFN = nullptr;
    QAction* mnuNext = nullptr;      // "F3"

    void Command4_Click(); // Find
    void Command2_Click(); // Find Next
    void Command5_Click(); // Replace
    void Command6_Click(); // Replace All
    void Command1_Click(); // Clear All
    void OKButton_Click(); // Close
    void mnuNext_Click();  // F3
    // A key pressed in the find box (its key code): Enter (13) presses "Find".
    void Text2_KeyDown(int keyCode);

public slots:
    // Escape and the window's close box unload the window as "Close" does.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int findOptions() const;

    QPointer<TextPageWidget> page_;
};
