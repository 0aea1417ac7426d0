#pragma once
// What the fuzz targets share: the one-time set-up (an application object, a seam that
// answers every question without a window, a private scratch folder that serves as the
// program folder and the Wine prefix), a reader that turns the fuzz input into choices, and
// the way a target reports a broken promise (it aborts, and libFuzzer keeps the input).

#include "platform/Ui.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Call from LLVMFuzzerInitialize. Sets VELTRANE_HOME, VELTRANE_SYSTEM and WINEPREFIX to
// folders inside the scratch folder.
void initialise(int* argc, char*** argv);

// The process's own scratch folder (native path, no trailing "/"), removed at a normal exit.
QString scratchFolder();

// An empty folder of that name in the scratch folder (emptied when it exists).
QString freshFolder(const QString& name);

// Files, by native path; a failure is a fault of the harness and aborts.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// The fuzz input as bytes.
inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Reports a broken promise and aborts.
[[noreturn]] void fail(const char* what, const QString& detail = QString());

// Shows a text with its control characters visible, for failure messages.
QString visible(const QString& text, qsizetype limit = 400);

// A seam that never shows anything: message boxes give `answer` when their button set holds
// it, else their first button; dialogs give the preset names; every message is counted.
class AnsweringUi : public Ui {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString&, const QString&, const QString&, TwipsPlace) override { return inputAnswer; }
    QString openFile(const FileDialogRequest&) override { return openAnswer; }
    QString saveFile(const FileDialogRequest&) override { return saveAnswer; }
    QString browseForFolder(const QString&) override { return folderAnswer; }
    void showModal(QWidget*) override {}
    void doEvents() override {}
    void setMousePointer(int) override {}
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString& text) override { clipboard = text; }

    // Back to answering Yes/OK with no names and no messages seen.
    void reset();

    int answer = vb::vbYes;
    QString inputAnswer;
    QString openAnswer;
    QString saveAnswer;
    QString folderAnswer;
    QString clipboard;
    QStringList messages;
};
AnsweringUi& answeringUi();

// The fuzz input read as a stream of choices. Past its end every read gives zeros / "".
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    size_t remaining() const { return m_size - m_pos; }
    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    // A number from 0 to n - 1 (0 when n < 1).
    int pick(int n) { return n < 1 ? 0 : byte() % n; }
    bool flag() { return byte() & 1; }
    // A length byte (below maxLength) and that many bytes as Windows-1252 text.
    QString text(int maxLength);
    // Everything not read yet.
    QByteArray rest();

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                                   \
    do {                                                                                                \
        if (!(condition))                                                                               \
            ::fuzz::fail(#condition, (detail));                                                         \
    } while (false)

// The LLVMFuzzerInitialize of a target that needs only the shared set-up.
#define FUZZ_SHARED_INITIALISE()                                                                        \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)                                        \
    {                                                                                                   \
        ::fuzz::initialise(argc, argv);                                                                 \
        return 0;                                                                                       \
    }
