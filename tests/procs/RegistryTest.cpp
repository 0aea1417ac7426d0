// GetRegValue on registry files in Wine's format.
#include "common/FileProcs.h"
#include "common/VbError.h"
#include "platform/Registry.h"

#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/VbErrors.h"

#include <gtest/gtest.h>

namespace {

const char* const kSystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Rail Simulator\\Packager Manager\\Installation] 1700000000
#time=1d9a1b2c3d4e5f6
@="C:\\Program Files\\Rail Simulator"
"Quoted"="say \"hi\" \\ there\nline\x00e9t\xe9 \101\7"
"Count"=dword:0000000a
"Negative"=dword:fffffffe
"Blob"=hex:01,02,ff,\
  00,7f
"Empty"=hex:
"Expand"=str(2):"%ProgramFiles%\\Rail"
"Multi"=str(7):"one\0two\0"
"MultiHex"=hex(7):61,00,00,00,62,00,00,00,00,00
"ExpandHex"=hex(2):41,00,42,00,00,00
"Qword"=hex(b):01,00,00,00,00,00,00,00
"None"=hex(0):

[Software\\Rail Simulator\\Packager Manager\\Installation\\Sub] 1700000000
@="the sub-key"
"Count"=dword:00000001

[Software\\Other\\Software\\Rail Simulator\\Packager Manager\\Installation] 1700000000
@="not this one either"
)";

const QString kKey = "Software\\Rail Simulator\\Packager Manager\\Installation";

} // namespace

TEST(GetRegValue, ReadsEveryValueKind)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("wine/system.reg", kSystemReg);

    // The key's default value, with the key named in another case.
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, "software\\RAIL SIMULATOR\\packager manager\\Installation", ""),
              QVariant(QStringLiteral("C:\\Program Files\\Rail Simulator")));
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, "\\" + kKey + "\\", "").toString(), "C:\\Program Files\\Rail Simulator");

    const QVariant quoted = GetRegValue(HKEY_LOCAL_MACHINE, kKey, "quoted");
    EXPECT_EQ(quoted.typeId(), QMetaType::QString);
    EXPECT_EQ(quoted.toString(), QStringLiteral("say \"hi\" \\ there\nline\u00e9t\u00e9 A\a"));

    const QVariant count = GetRegValue(HKEY_LOCAL_MACHINE, kKey, "COUNT");
    EXPECT_EQ(count.typeId(), QMetaType::Int);
    EXPECT_EQ(count.toInt(), 10);
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Negative").toInt(), -2);

    const QVariant blob = GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Blob");
    EXPECT_EQ(blob.typeId(), QMetaType::QByteArray);
    EXPECT_EQ(blob.toByteArray(), QByteArray("\x01\x02\xff\x00\x7f", 5));
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Empty").toByteArray(), QByteArray());

    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Expand").toString(), "%ProgramFiles%\\Rail");
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "ExpandHex").toString(), "AB");
    // Multi-strings: one text, the parts separated by NUL characters.
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Multi").toString(), QString::fromLatin1("one\0two", 7));
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "MultiHex").toString(), QString::fromLatin1("a\0b", 3));

    // A sub-key's values are its own.
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey + "\\Sub", "").toString(), "the sub-key");
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey + "\\Sub", "Count").toInt(), 1);
}

TEST(GetRegValue, MissingKeysAndValues)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("wine/system.reg", kSystemReg);

    // A missing key gives the default, or nothing.
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, "Software\\Nobody", "", QStringLiteral("fallback")).toString(),
              "fallback");
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, "Software\\Nobody", "").isValid());
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, "Rail Simulator\\Packager Manager\\Installation", "").isValid());
    EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, kKey, "").isValid()); // no user.reg at all
    EXPECT_FALSE(GetRegValue(0x80000000u, kKey, "").isValid());

    // A missing value or one of another kind is error 1001.
    QString description;
    EXPECT_EQ(vbErrorNumber([&] { GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Nothing", 5); }, &description), 1001);
    EXPECT_EQ(description, "Unsupported value type");
    EXPECT_EQ(vbErrorNumber([&] { GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Qword"); }), 1001);
    EXPECT_EQ(vbErrorNumber([&] { GetRegValue(HKEY_LOCAL_MACHINE, kKey, "None"); }), 1001);
    EXPECT_EQ(vbErrorNumber([&] { GetRegValue(HKEY_LOCAL_MACHINE, kKey + "\\Sub", "Quoted"); }), 1001);
}

TEST(GetRegValue, UserHiveAndThe32BitView)
{
    TempTree tree;
    ScriptedUi ui;
    tree.writeFile("wine/user.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                                    "[Software\\\\Veltrane\\\\Options] 1700000000\n\"Editor\"=\"C:\\\\Tools\\\\ed.exe\"\n");
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, "Software\\Veltrane\\Options", "editor").toString(), "C:\\Tools\\ed.exe");
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, "Software\\Veltrane\\Options", "").isValid());

    // On a 64-bit prefix a 32-bit installer's keys live under Wow6432Node; that view wins.
    tree.writeFile("wine/system.reg",
                   "WINE REGISTRY Version 2\n#arch=win64\n\n"
                   "[Software\\\\Rail Simulator\\\\Packager Manager\\\\Installation] 1\n@=\"C:\\\\64-bit view\"\n\n"
                   "[Software\\\\Wow6432Node\\\\Rail Simulator\\\\Packager Manager\\\\Installation] 1\n"
                   "@=\"C:\\\\Games\\\\Rail Simulator\"\r\n");
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "").toString(), "C:\\Games\\Rail Simulator");
    tree.writeFile("wine/system.reg",
                   "WINE REGISTRY Version 2\n#arch=win64\n\n"
                   "[Software\\\\Rail Simulator\\\\Packager Manager\\\\Installation] 1\n@=\"C:\\\\Only View\"\n");
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "").toString(), "C:\\Only View");
}
