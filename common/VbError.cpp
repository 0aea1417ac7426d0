#include "common/VbError.h"

VbError::VbError(int number)
    : VbError(number, standardDescription(number))
{
}

VbError::VbError(int number, const QString& description)
    : number(number), description(description)
{
    whatText = QStringLiteral("Error %1: %2").arg(number).arg(description).toStdString();
}

const char* VbError::what() const noexcept
{
    return whatText.c_str();
}

QString VbError::standardDescription(int number)
{
    return platform::runTimeErrorDescription(number);
}
