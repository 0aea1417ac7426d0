#include "platform/QtUiScreenFit.h"

#include "platform/ScreenFit.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {

const char* const FitterName = "veltrane_screen_fit";

QMargins frameMargins(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

// Watches one window: fits it when it is shown, and once more when the window system adds
// its frame only after the window appeared (a window manager framing it late).
class ScreenFitter final : public QObject {
public:
    explicit ScreenFitter(QWidget* window) : QObject(window), window_(window)
    {
        setObjectName(QLatin1String(FitterName));
        window->installEventFilter(this);
    }

    // The outer place the window is to take; it gets it as its own rectangle until the frame
    // is known.
    void place(const QRect& outer)
    {
        target_ = outer;
        if (window_->isVisible()) {
            fit();
            return;
        }
        const QRect client = outer.marginsRemoved(frameMargins(window_));
        window_->move(outer.topLeft());
        window_->resize(std::max(1, client.width()), std::max(1, client.height()));
        remember(outer);
    }

    std::optional<QRect> untouchedPlace() const
    {
        if (placedOuter_ && window_->geometry() == placedClient_)
            return placedOuter_;
        return std::nullopt;
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_)
            return false;
        switch (event->type()) {
        case QEvent::ShowToParent:
            // Sent once the window is on the screen, after a dialog has centred itself.
            fit();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            if (awaitingFrame_ && window_->isVisible() && !frameMargins(window_).isNull())
                fit();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void fit()
    {
        const QMargins margins = frameMargins(window_);
        awaitingFrame_ = margins.isNull() && !window_->windowFlags().testFlag(Qt::FramelessWindowHint);
        // The place asked for counts until it has been fitted with the frame known.
        const QRect outer = target_.value_or(window_->frameGeometry());
        if (!awaitingFrame_)
            target_.reset();
        const QRect fitted = FitOnScreens(outer, availableScreenAreas());
        const QRect client = fitted.marginsRemoved(margins);
        if (client.width() <= 0 || client.height() <= 0)
            return;
        if (window_->geometry() != client) {
            const QSize minimum = window_->minimumSize();
            if (minimum.width() > client.width() || minimum.height() > client.height())
                window_->setMinimumSize(minimum.boundedTo(client.size()));
            window_->setGeometry(client);
        }
        remember(fitted);
    }

    void remember(const QRect& outer)
    {
        placedOuter_ = outer;
        placedClient_ = window_->geometry();
    }

    QWidget* window_;
    std::optional<QRect> target_;
    bool awaitingFrame_ = false;
    // Where the window was last put, outer and client: while the client rectangle is still
    // the one it was given, the outer one stands even if a frame came later.
    std::optional<QRect> placedOuter_;
    QRect placedClient_;
};

ScreenFitter* fitterOf(const QWidget* window)
{
    return dynamic_cast<ScreenFitter*>(
        window->findChild<QObject*>(QLatin1String(FitterName), Qt::FindDirectChildrenOnly));
}

} // namespace

QList<QRect> availableScreenAreas()
{
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas.append(screen->availableGeometry());
    }
    return areas;
}

void openOnScreen(QWidget* window, std::optional<QRect> outer)
{
    ScreenFitter* fitter = fitterOf(window);
    if (!fitter)
        fitter = new ScreenFitter(window);
    if (outer)
        fitter->place(*outer);
}

std::optional<QRect> untouchedPlace(const QWidget* window)
{
    const ScreenFitter* fitter = fitterOf(window);
    return fitter ? fitter->untouchedPlace() : std::nullopt;
}

int titleBarWidth(const QWidget* window)
{
    QFont bold = window->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const int buttons = 4 * (fm.height() + 8);
    return fm.horizontalAdvance(window->windowTitle()) + buttons + 24;
}

void fitTitle(QWidget* window)
{
    int widest = 0;
    for (const QRect& area : availableScreenAreas())
        widest = std::max(widest, area.width());
    int need = titleBarWidth(window);
    if (widest > 0)
        need = std::min(need, widest);
    if (window->minimumWidth() < need)
        window->setMinimumWidth(need);
    if (window->width() < need)
        window->resize(need, window->height());
}

} // namespace platform
