#pragma once
// The user-interface seam as the program shows it: Qt message boxes, input and file
// dialogs, modal windows, the override cursor and the system clipboard.

#include "platform/Ui.h"

#include <QList>
#include <QStringList>

class QtUi final : public Ui {
public:
    int msgBox(const QString& prompt, int style = vb::vbOKOnly, const QString& title = QString()) override;
    QString inputBox(const QString& prompt, const QString& title = QString(),
                     const QString& defaultText = QString(), TwipsPlace at = std::nullopt) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QStringList openFiles(const FileDialogRequest& request) override;
    QString browseForFolder(const QString& title) override;
    void showModal(QWidget* window) override;
    void doEvents() override;
    void setMousePointer(int pointer) override;
    // How many hourglass requests are still waiting for their return to normal.
    int mousePointerLevel() const override { return busyDepth_; }
    void restoreMousePointerLevel(int level) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;

    // "desc|pattern|desc|pattern" to Qt's filter list. Patterns are made to match without
    // regard to case, as the game's file names come in any case.
    static QStringList qtFilters(const QString& filter);

private:
    // A box or modal window that waits for the user shows the normal pointer over it; the
    // hourglass requests made before it stay in force and show again when it is answered.
    class UserWait;
    // Runs one of Qt's file dialogs (dialog: QFileDialog's getOpenFileName and its kin) for a
    // request: its filters with the one it starts on, its folder, and the user's wait.
    template <typename Dialog>
    auto fileDialog(const FileDialogRequest& request, Dialog dialog);
    void showPointer();
    // The requests the innermost open wait keeps in force (none outside any wait).
    int waitFloor() const { return waitFloors_.isEmpty() ? 0 : waitFloors_.last(); }

    int busyDepth_ = 0;
    QList<int> waitFloors_; // busyDepth_ when each open wait began, the innermost last
    bool hourglassShown_ = false;
};
