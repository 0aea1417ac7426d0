#pragma once
// The question of the tree page's one-at-a-time searches ("Search"): whether the item shown
// is the one wanted. "Continue" hides the dialog and the search goes on; "OK" and the
// window's close box end the search and unload the dialog. The answer goes to the shared
// FindContinue (True: stop, False: continue).

#include <QDialog>

class QLabel;
class QPushButton;

class dlgFind : public QDialog {
    Q_OBJECT
public:
    explicit dlgFind(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPushButton* FindButton = nullptr; // "Continue"
    QPushButton* OKButton = nullptr;   // "OK"

    void FindButton_Click();
    void OKButton_Click();
    void reject() override;

    // Whether the dialog was unloaded ("OK" or its close box): its owner then deletes it.
    bool unloaded() const { return unloaded_; }

private:
    bool unloaded_ = false;
};
