// Run-time error numbers and their standard descriptions.

#include "support/VbErrors.h"

#include "common/Vb.h"

TEST(VbError, StandardDescriptions)
{
    struct Case {
        int number;
        const char* description;
    } const cases[] = {
        {3, "Return without GoSub"},
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {54, "Bad file mode"},
        {55, "File already open"},
        {57, "Device I/O error"},
        {58, "File already exists"},
        {61, "Disk full"},
        {62, "Input past end of file"},
        {67, "Too many files"},
        {68, "Device unavailable"},
        {70, "Permission denied"},
        {71, "Disk not ready"},
        {74, "Can't rename with different drive"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {91, "Object variable or With block variable not set"},
        {94, "Invalid use of Null"},
        {380, "Invalid property value"},
        {424, "Object required"},
        {429, "ActiveX component can't create object"},
        {438, "Object doesn't support this property or method"},
        {457, "This key is already associated with an element of this collection"},
        {1, "Application-defined or object-defined error"},
        {1000, "Application-defined or object-defined error"},
        {-5, "Application-defined or object-defined error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(VbError::standardDescription(c.number), QString::fromUtf8(c.description));
        const VbError e(c.number);
        EXPECT_EQ(e.number, c.number);
        EXPECT_EQ(e.description, QString::fromUtf8(c.description));
    }
}

TEST(VbError, KeepsAGivenDescriptionAndNamesItInWhat)
{
    const VbError e(53, QStringLiteral("Datei nicht gefunden: ä"));
    EXPECT_EQ(e.number, 53);
    EXPECT_EQ(e.description, QStringLiteral("Datei nicht gefunden: ä"));
    const std::string what = e.what();
    EXPECT_NE(what.find("53"), std::string::npos);
    EXPECT_NE(what.find("Datei nicht gefunden"), std::string::npos);

    // Raised errors can be caught as standard exceptions too.
    try {
        vb::Mid(QStringLiteral("abc"), 0);
        FAIL() << "no error";
    } catch (const std::exception& ex) {
        EXPECT_NE(std::string(ex.what()).find("Invalid procedure call or argument"), std::string::npos);
    }
}
