#include "platform/OneWindow.h"
#include "platform/QtUi.h"

#include "platform/Paths.h"
#include "platform/QtUiScreenFit.h"
#include "platform/QtUiWindowLife.h"
#include "platform/ScreenFit.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

QString captionOf(const QString& title)
{
    return title.isEmpty() ? Ui::programTitle() : title;
}

// A dialog's parent: the modal window on top, else the active window. A window that has just
// been closed stays the active one until the window system names another; it is hidden then
// and may be on its way to deletion (a report window closed with Exit), so it is never taken.
QWidget* dialogParent()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    QWidget* w = QApplication::activeWindow();
    return w && w->isVisible() ? w : nullptr;
}

// "*.bin" -> "*.[bB][iI][nN]", so that a pattern matches names in any case.
QString caseless(const QString& pattern)
{
    QString out;
    out.reserve(pattern.size() * 4);
    for (QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (lower != upper && c.unicode() < 0x80) {
            out += QLatin1Char('[');
            out += lower;
            out += upper;
            out += QLatin1Char(']');
        } else {
            out += c;
        }
    }
    return out;
}

QString startPath(const FileDialogRequest& request)
{
    QString dir = request.initDir.isEmpty() ? QString() : platform::nativePath(request.initDir);
    if (request.fileName.isEmpty())
        return dir;
    if (dir.isEmpty())
        return request.fileName;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + request.fileName;
}

QFileDialog::Options fileDialogOptions()
{
    // Qt's own dialog: it honours the bracketed patterns and shows the descriptions as
    // the program wrote them.
    return QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails;
}

// Qt's message box breaks a line of its text at about 500 pixels. Its text gets the room of its
// longest line instead, so that a line breaks only where it would make the box wider than about
// two thirds of the screen (and never beyond the width past which Qt breaks lines anywhere, not
// only between words).
void giveLinesTheirRoom(QMessageBox& box, const QString& text)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    if (!label || !screen)
        return;
    const int available = screen->availableGeometry().width();
    const int qtLimit = available <= 1024 ? available : std::min(available - 480, 1000);
    const int widest = std::min(available * 2 / 3, qtLimit) - 8;
    const QFontMetrics metrics(label->font());
    int longest = 0;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        longest = std::max(longest, metrics.horizontalAdvance(line));
    }
    // What the box needs beside its text: the icon, the margins and the spacing between them.
    label->setWordWrap(false);
    box.layout()->activate();
    const int beside = std::max(0, box.layout()->totalMinimumSize().width() - label->minimumSizeHint().width());
    label->setMinimumWidth(std::clamp(longest + 2 * label->margin() + 2, 0, std::max(0, widest - beside)));
}

// Hands the window's hiding or closing to a waiting event loop.
class ModalWatcher : public QObject {
public:
    ModalWatcher(QWidget* window, QEventLoop* loop) : window_(window), loop_(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
            // A spontaneous hide (minimising) leaves the window visible to Qt.
            if (event->type() == QEvent::Hide && !window_->isVisible())
                loop_->quit();
        }
        return false;
    }

private:
    QWidget* window_;
    QEventLoop* loop_;
};

} // namespace

// For as long as a box or modal window waits for the user.
class QtUi::UserWait {
public:
    explicit UserWait(QtUi& seam) : seam_(seam)
    {
        seam_.waitFloors_.append(seam_.busyDepth_);
        seam_.showPointer();
    }
    ~UserWait()
    {
        seam_.waitFloors_.removeLast();
        seam_.showPointer();
    }
    UserWait(const UserWait&) = delete;
    UserWait& operator=(const UserWait&) = delete;

private:
    QtUi& seam_;
};

QStringList QtUi::qtFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            // "*.*" takes names without a dot too, as on Windows.
            p = p == QLatin1String("*.*") ? QStringLiteral("*") : caseless(p);
        }
        out.append(desc + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return out;
}

int QtUi::msgBox(const QString& prompt, int style, const QString& title)
{
    // On the heap, watched: a parent deleted while the box waits for its answer takes the box
    // with it, which must never be a box on this stack.
    QPointer<QMessageBox> guard = new QMessageBox(dialogParent());
    QMessageBox& box = *guard;
    box.setWindowTitle(captionOf(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(prompt);

    switch (style & 0x70) {
    case vb::vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vb::vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vb::vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vb::vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }

    struct Button { QMessageBox::StandardButton qt; int answer; };
    QList<Button> buttons;
    switch (style & 0x0F) {
    case vb::vbOKCancel:
        buttons = {{QMessageBox::Ok, vb::vbOK}, {QMessageBox::Cancel, vb::vbCancel}};
        break;
    case vb::vbAbortRetryIgnore:
        buttons = {{QMessageBox::Abort, vb::vbAbort}, {QMessageBox::Retry, vb::vbRetry},
                   {QMessageBox::Ignore, vb::vbIgnore}};
        break;
    case vb::vbYesNoCancel:
        buttons = {{QMessageBox::Yes, vb::vbYes}, {QMessageBox::No, vb::vbNo},
                   {QMessageBox::Cancel, vb::vbCancel}};
        break;
    case vb::vbYesNo:
        buttons = {{QMessageBox::Yes, vb::vbYes}, {QMessageBox::No, vb::vbNo}};
        break;
    case vb::vbRetryCancel:
        buttons = {{QMessageBox::Retry, vb::vbRetry}, {QMessageBox::Cancel, vb::vbCancel}};
        break;
    default:
        buttons = {{QMessageBox::Ok, vb::vbOK}};
        break;
    }
    QList<QPushButton*> pushButtons;
    const int escape = cancelAnswer(style);
    for (const Button& b : buttons) {
        QPushButton* pb = box.addButton(b.qt);
        pushButtons.append(pb);
        if (b.answer == escape)
            box.setEscapeButton(pb);
    }
    int defaultIndex = 0;
    if ((style & 0x300) == vb::vbDefaultButton2)
        defaultIndex = 1;
    else if ((style & 0x300) == vb::vbDefaultButton3)
        defaultIndex = 2;
    if (defaultIndex >= pushButtons.size())
        defaultIndex = 0;
    box.setDefaultButton(pushButtons[defaultIndex]);
    giveLinesTheirRoom(box, prompt);

    {
        UserWait wait(*this);
        box.exec();
    }
    if (!guard)
        return escape; // its parent went away: as if the box had been closed
    int answer = escape;
    for (qsizetype i = 0; i < pushButtons.size(); ++i)
        if (pushButtons[i] == box.clickedButton())
            answer = buttons[i].answer;
    delete guard.data();
    return answer;
}

QString QtUi::inputBox(const QString& prompt, const QString& title, const QString& defaultText, TwipsPlace at)
{
    // Made on the heap: its parent may go away while it is open.
    QPointer<QInputDialog> dialog = new QInputDialog(dialogParent());
    dialog->setWindowTitle(captionOf(title));
    dialog->setLabelText(prompt);
    dialog->setTextValue(defaultText);
    dialog->setTextEchoMode(QLineEdit::Normal);
    // A short prompt would leave the box too narrow for its title.
    dialog->adjustSize();
    platform::fitTitle(dialog);
    if (at) {
        // Its corner where the caller put it on the screen the box opens on, 15 twips to a pixel;
        // a dialog that was moved keeps its place when it is shown.
        const QScreen* screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
        const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
        const QPoint corner = origin + QPoint((at->x() + 7) / 15, (at->y() + 7) / 15);
        dialog->move(platform::FitOnScreens(QRect(corner, dialog->size()), platform::availableScreenAreas()).topLeft());
    }
    bool ok = false;
    {
        UserWait wait(*this);
        ok = dialog->exec() == QDialog::Accepted;
    }
    if (!dialog)
        return QString();
    const QString text = ok ? dialog->textValue() : QString();
    delete dialog.data();
    return text;
}

template <typename Dialog>
auto QtUi::fileDialog(const FileDialogRequest& request, Dialog dialog)
{
    const QStringList filters = qtFilters(request.filter);
    QString selected = filters.value(request.filterIndex - 1);
    UserWait wait(*this);
    return dialog(dialogParent(), request.title, startPath(request), filters.join(QStringLiteral(";;")), &selected,
                  fileDialogOptions());
}

QString QtUi::openFile(const FileDialogRequest& request)
{
    return fileDialog(request, &QFileDialog::getOpenFileName);
}

QStringList QtUi::openFiles(const FileDialogRequest& request)
{
    return fileDialog(request, &QFileDialog::getOpenFileNames);
}

QString QtUi::saveFile(const FileDialogRequest& request)
{
    return fileDialog(request, &QFileDialog::getSaveFileName);
}

QString QtUi::browseForFolder(const QString& title)
{
    UserWait wait(*this);
    return QFileDialog::getExistingDirectory(dialogParent(), title, QString(),
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

void QtUi::showModal(QWidget* window)
{
    if (!window)
        return;
    QPointer<QWidget> guard(window);
    const Qt::WindowModality previous = window->windowModality();
    if (window->isVisible() && previous != Qt::ApplicationModal)
        window->hide(); // modality only takes effect when the window is shown anew
    window->setWindowModality(Qt::ApplicationModal);

    QEventLoop loop;
    ModalWatcher watcher(window, &loop);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);

    platform::bringToFront(window);
    if (guard && guard->isVisible()) {
        UserWait wait(*this);
        loop.exec(QEventLoop::DialogExec);
    }

    if (guard) {
        guard->removeEventFilter(&watcher);
        if (!guard->isVisible())
            guard->setWindowModality(previous);
    }
}

void QtUi::doEvents()
{
    platform::processHandlerEvents();
}

void QtUi::setMousePointer(int pointer)
{
    // A return to normal takes back one request; never one made before the wait that is open.
    if (pointer == vb::vbHourglass)
        ++busyDepth_;
    else if (busyDepth_ > waitFloor())
        --busyDepth_;
    showPointer();
}

void QtUi::restoreMousePointerLevel(int level)
{
    busyDepth_ = std::max(level, waitFloor());
    showPointer();
}

// The program-wide hourglass, while requests are in force that no open wait covers.
void QtUi::showPointer()
{
    const bool hourglass = busyDepth_ > waitFloor();
    if (hourglass == hourglassShown_)
        return;
    if (hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    hourglassShown_ = hourglass;
}

QString QtUi::clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void QtUi::setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}
