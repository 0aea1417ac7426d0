#pragma once
// The user-interface seam as the program shows it: Qt message boxes, input and file
// dialogs, modal windows, the override cursor and the system clipboard.

#include "platform/Ui.h"

#include <QStringList>

class QtUi final : public Ui {
public:
    int msgBox(const QString& prompt, int style = vb::vbOKOnly, const QString& title = QString()) override;
    QString inputBox(const QString& prompt, const QString& title = QString(),
                     const QString& defaultText = QString()) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QStringList openFiles(const FileDialogRequest& request) override;
    QString browseForFolder(const QString& title) override;
    void showModal(QWidget* window) override;
    void doEvents() override;
    void setMousePointer(int pointer) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;

    // How many hourglass requests are still waiting for their return to normal.
    int busyDepth() const { return busyDepth_; }

    // "desc|pattern|desc|pattern" to Qt's filter list. Patterns are made to match without
    // regard to case, as the game's file names come in any case.
    static QStringList qtFilters(const QString& filter);

private:
    int busyDepth_ = 0;
};
