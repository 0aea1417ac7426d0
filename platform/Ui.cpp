#include "platform/Ui.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// The seam in force before anything is installed: command-line tools run without
// windows, so every question is answered as if cancelled and messages go to stderr.
class ConsoleUi final : public Ui {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override
    {
        const QString caption = title.isEmpty() ? programTitle() : title;
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), prompt.toLocal8Bit().constData());
        return cancelAnswer(style);
    }
    QString inputBox(const QString& prompt, const QString&, const QString&, TwipsPlace) override
    {
        std::fprintf(stderr, "%s\n", prompt.toLocal8Bit().constData());
        return QString();
    }
    QString openFile(const FileDialogRequest&) override { return QString(); }
    QString saveFile(const FileDialogRequest&) override { return QString(); }
    QString browseForFolder(const QString&) override { return QString(); }
    void showModal(QWidget*) override {}
    void doEvents() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    void setMousePointer(int) override {}
    QString clipboardText() override { return clipboard_; }
    void setClipboardText(const QString& text) override { clipboard_ = text; }

private:
    QString clipboard_;
};

ConsoleUi& consoleUi()
{
    static ConsoleUi seam;
    return seam;
}

Ui* g_seam = nullptr;

} // namespace

QStringList Ui::openFiles(const FileDialogRequest& request)
{
    const QString one = openFile(request);
    return one.isEmpty() ? QStringList() : QStringList{one};
}

int Ui::cancelAnswer(int style)
{
    switch (style & 0x0F) {
    case vb::vbOKCancel:
    case vb::vbYesNoCancel:
    case vb::vbRetryCancel:
        return vb::vbCancel;
    case vb::vbYesNo:
        return vb::vbNo;
    case vb::vbAbortRetryIgnore:
        return vb::vbAbort;
    default:
        return vb::vbOK;
    }
}

Ui& ui()
{
    return g_seam ? *g_seam : static_cast<Ui&>(consoleUi());
}

Ui* setUi(Ui* seam)
{
    Ui* previous = g_seam;
    g_seam = seam;
    return previous;
}
