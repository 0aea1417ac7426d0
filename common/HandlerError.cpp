#include "common/HandlerError.h"

#include "platform/Ui.h"

#include <new>

QString handlerErrorText(ErrorSpelling spelling, const VbError& error, const QString& handler)
{
    const QString occurred = QStringLiteral(" occurred in ");
    switch (spelling) {
    case ErrorSpelling::Description:
        return QStringLiteral("Error ") + error.description + occurred + handler;
    case ErrorSpelling::Number:
        return QStringLiteral("Error ") + QString::number(error.number) + occurred + handler;
    case ErrorSpelling::AnNumber:
        return QStringLiteral("An Error ") + QString::number(error.number) + occurred + handler;
    case ErrorSpelling::Subroutine:
        return QStringLiteral("Error - ") + error.description + occurred + QStringLiteral("subroutine ") + handler;
    case ErrorSpelling::QuotedHandler:
        return QStringLiteral("An Error ") + error.description + occurred + QLatin1Char('\'') + handler
               + QLatin1Char('\'');
    }
    return QString();
}

void showHandlerError(ErrorSpelling spelling, const VbError& error, const QString& handler)
{
    exclaim(handlerErrorText(spelling, error, handler));
}

VbError runTimeErrorOf(const std::exception& e)
{
    if (const auto* error = dynamic_cast<const VbError*>(&e))
        return *error;
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return VbError(7);
    return VbError(51, QString::fromLocal8Bit(e.what()));
}

bool runGuarded(ErrorSpelling spelling, const QString& handler, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        showHandlerError(spelling, runTimeErrorOf(e), handler);
    }
    return false;
}
