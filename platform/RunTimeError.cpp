#include "platform/RunTimeError.h"

#include <QHash>

namespace platform {

namespace {

// The run-time's own texts for its trappable errors.
const QHash<int, QString>& descriptions()
{
    static const QHash<int, QString> table{
        {3, QStringLiteral("Return without GoSub")},
        {5, QStringLiteral("Invalid procedure call or argument")},
        {6, QStringLiteral("Overflow")},
        {7, QStringLiteral("Out of memory")},
        {9, QStringLiteral("Subscript out of range")},
        {10, QStringLiteral("This array is fixed or temporarily locked")},
        {11, QStringLiteral("Division by zero")},
        {13, QStringLiteral("Type mismatch")},
        {14, QStringLiteral("Out of string space")},
        {16, QStringLiteral("Expression too complex")},
        {17, QStringLiteral("Can't perform requested operation")},
        {18, QStringLiteral("User interrupt occurred")},
        {20, QStringLiteral("Resume without error")},
        {28, QStringLiteral("Out of stack space")},
        {35, QStringLiteral("Sub or Function not defined")},
        {47, QStringLiteral("Too many DLL application clients")},
        {48, QStringLiteral("Error in loading DLL")},
        {49, QStringLiteral("Bad DLL calling convention")},
        {51, QStringLiteral("Internal error")},
        {52, QStringLiteral("Bad file name or number")},
        {53, QStringLiteral("File not found")},
        {54, QStringLiteral("Bad file mode")},
        {55, QStringLiteral("File already open")},
        {57, QStringLiteral("Device I/O error")},
        {58, QStringLiteral("File already exists")},
        {59, QStringLiteral("Bad record length")},
        {61, QStringLiteral("Disk full")},
        {62, QStringLiteral("Input past end of file")},
        {63, QStringLiteral("Bad record number")},
        {67, QStringLiteral("Too many files")},
        {68, QStringLiteral("Device unavailable")},
        {70, QStringLiteral("Permission denied")},
        {71, QStringLiteral("Disk not ready")},
        {74, QStringLiteral("Can't rename with different drive")},
        {75, QStringLiteral("Path/File access error")},
        {76, QStringLiteral("Path not found")},
        {91, QStringLiteral("Object variable or With block variable not set")},
        {92, QStringLiteral("For loop not initialized")},
        {93, QStringLiteral("Invalid pattern string")},
        {94, QStringLiteral("Invalid use of Null")},
        {322, QStringLiteral("Can't create necessary temporary file")},
        {325, QStringLiteral("Invalid format in resource file")},
        {380, QStringLiteral("Invalid property value")},
        {381, QStringLiteral("Invalid property array index")},
        {382, QStringLiteral("Set not supported at runtime")},
        {383, QStringLiteral("Set not supported (read-only property)")},
        {385, QStringLiteral("Need property array index")},
        {387, QStringLiteral("Set not permitted")},
        {393, QStringLiteral("Get not supported at runtime")},
        {394, QStringLiteral("Get not supported (write-only property)")},
        {422, QStringLiteral("Property not found")},
        {423, QStringLiteral("Property or method not found")},
        {424, QStringLiteral("Object required")},
        {429, QStringLiteral("ActiveX component can't create object")},
        {430, QStringLiteral("Class does not support Automation or does not support expected interface")},
        {432, QStringLiteral("File name or class name not found during Automation operation")},
        {438, QStringLiteral("Object doesn't support this property or method")},
        {440, QStringLiteral("Automation error")},
        {445, QStringLiteral("Object doesn't support this action")},
        {446, QStringLiteral("Object doesn't support named arguments")},
        {447, QStringLiteral("Object doesn't support current locale setting")},
        {448, QStringLiteral("Named argument not found")},
        {449, QStringLiteral("Argument not optional")},
        {450, QStringLiteral("Wrong number of arguments or invalid property assignment")},
        {451, QStringLiteral("Property let procedure not defined and property get procedure did not return an object")},
        {452, QStringLiteral("Invalid ordinal")},
        {453, QStringLiteral("Specified DLL function not found")},
        {454, QStringLiteral("Code resource not found")},
        {455, QStringLiteral("Code resource lock error")},
        {457, QStringLiteral("This key is already associated with an element of this collection")},
        {458, QStringLiteral("Variable uses an Automation type not supported in Visual Basic")},
        {459, QStringLiteral("Object or class does not support the set of events")},
        {460, QStringLiteral("Invalid clipboard format")},
        {461, QStringLiteral("Method or data member not found")},
        {462, QStringLiteral("The remote server machine does not exist or is unavailable")},
        {463, QStringLiteral("Class not registered on local machine")},
        {481, QStringLiteral("Invalid picture")},
        {482, QStringLiteral("Printer error")},
        {735, QStringLiteral("Can't save file to TEMP")},
        {744, QStringLiteral("Search text not found")},
        {746, QStringLiteral("Replacements too long")},
        // Raised by a file dialog whose Cancel is set to raise an error.
        {32755, QStringLiteral("Cancel was selected.")},
    };
    return table;
}

} // namespace

QString runTimeErrorDescription(int number)
{
    const auto& table = descriptions();
    const auto it = table.constFind(number);
    if (it != table.constEnd())
        return it.value();
    return QStringLiteral("Application-defined or object-defined error");
}

} // namespace platform
