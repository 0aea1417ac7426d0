#include "platform/QtUiApplication.h"

#include "platform/RunTimeError.h"
#include "platform/Ui.h"

#include <new>

namespace {

void report(int number, const QString& description)
{
    ui().setMousePointer(vb::vbDefault);
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
    try {
        return QApplication::notify(receiver, event);
    } catch (const platform::NumberedError& e) {
        report(e.errorNumber(), e.errorDescription());
    } catch (const std::bad_alloc&) {
        report(7, platform::runTimeErrorDescription(7));
    } catch (const std::exception& e) {
        report(51, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(51, platform::runTimeErrorDescription(51));
    }
    return false;
}
