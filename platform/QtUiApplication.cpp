#include "platform/QtUiApplication.h"

#include "platform/QtUiWindowLife.h"
#include "platform/RunTimeError.h"
#include "platform/Ui.h"

#include <new>

namespace {

// The handler the error ended takes back the hourglass it asked for (pointer: the count of
// requests when its event came).
void report(int pointer, int number, const QString& description)
{
    ui().restoreMousePointerLevel(pointer);
    ui().msgBox(QtUiApplication::unexpectedErrorText(number, description), vb::vbCritical, Ui::programTitle());
}

} // namespace

QtUiApplication::QtUiApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString QtUiApplication::unexpectedErrorText(int number, const QString& description)
{
    return QStringLiteral("An Error ") + QString::number(number) + QStringLiteral(" occurred: ") + description;
}

bool QtUiApplication::notify(QObject* receiver, QEvent* event)
{
    const platform::EventDelivery delivery;
    const int pointer = ui().mousePointerLevel();
    try {
        return QApplication::notify(receiver, event);
    } catch (const platform::NumberedError& e) {
        report(pointer, e.errorNumber(), e.errorDescription());
    } catch (const std::bad_alloc&) {
        report(pointer, 7, platform::runTimeErrorDescription(7));
    } catch (const std::exception& e) {
        report(pointer, 51, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(pointer, 51, platform::runTimeErrorDescription(51));
    }
    return false;
}
