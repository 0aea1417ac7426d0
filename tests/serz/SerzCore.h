#pragma once
// The test serializer's whole behaviour, in standard C++ only, shared by its two builds: the
// native serz.exe (main.cpp) and the Windows serz.exe run through Wine (win/main.cpp).
//
//   serz.exe "input" xml:"output"      (also bin:"output" and /bin:"output")
//
// Its binary form is the 8 bytes "SERZBIN1" followed by the XML's bytes, each XOR-ed with
// 0xA5 so that the file does not read as text. The direction follows the input's content,
// not the switch (the program uses " xml:" both ways): an input that starts with the magic
// header is decoded to its XML bytes, anything else is taken as XML and encoded. Both ways
// are exact, byte for byte.
//
// For tests of failure paths it writes nothing and ends with a non-zero status when
// - the input (or the XML inside a binary input) holds the marker <!--serz:fail-->,
// - the environment variable SERZ_FAIL equals the input's file name (letter case ignored),
// - the input is empty, missing or unreadable, or the output cannot be written.
// SERZ_DELAY_MS makes it sleep that many milliseconds before it starts working.
// SERZ_FAIL_ONCE names a marker file: while it is missing, a run creates it and ends with
// status 1, writing nothing and saying nothing; once it exists, runs work as usual.

#include <string>
#include <vector>

namespace serzcore {

enum Status { Ok = 0, Usage = 1, Refused = 2, InputError = 3, OutputError = 4 };

// What the two builds do each in their own way. Paths and texts are UTF-8.
class Host {
public:
    virtual ~Host() = default;
    // The path as this build opens it (the native build reads backslashes as "/").
    virtual std::string localPath(const std::string& path) const { return path; }
    // The whole file; false when it cannot be opened or read.
    virtual bool readFile(const std::string& path, std::string& bytes) = 0;
    // Writes the file whole or not at all (a failed write leaves no partial file).
    virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
    // An environment variable; "" when unset.
    virtual std::string environment(const char* name) const = 0;
    virtual void sleepMs(long ms) = 0;
};

// The binary form of XML bytes, and back (decode expects the magic header).
std::string encode(const std::string& xml);
std::string decode(const std::string& binary);
bool isBinary(const std::string& bytes);

// Runs one conversion for the arguments after the program name; messages go to standard
// output (success) and standard error (failures). Returns the exit status.
int run(const std::vector<std::string>& args, Host& host);

} // namespace serzcore
