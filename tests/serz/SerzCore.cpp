#include "SerzCore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace serzcore {

namespace {

const std::string kMagic = "SERZBIN1";
constexpr char kKey = char(0xA5);
const std::string kFailMarker = "<!--serz:fail-->";

std::string scramble(const std::string& bytes, std::size_t from)
{
    std::string out(bytes.size() - from, '\0');
    for (std::size_t i = from; i < bytes.size(); ++i)
        out[i - from] = char(bytes[i] ^ kKey);
    return out;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string lowered(std::string s)
{
    for (char& c : s)
        c = lower(c);
    return s;
}

int complain(int status, const std::string& text)
{
    std::fprintf(stderr, "serz: %s\n", text.c_str());
    return status;
}

// Splits "xml:path", "bin:path" or "/bin:path" (any case); false when the text is no switch.
bool splitSwitch(const std::string& arg, std::string& sw, std::string& path)
{
    const std::size_t colon = arg.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string head = lowered(arg.substr(0, colon));
    if (head != "xml" && head != "bin" && head != "/bin")
        return false;
    sw = head;
    path = arg.substr(colon + 1);
    return true;
}

// The last part of a path, after its last "/" or "\".
std::string fileName(const std::string& path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A whole decimal number, blanks around it allowed; false for anything else.
bool parseInt(const std::string& text, long& value)
{
    std::size_t a = 0;
    std::size_t b = text.size();
    while (a < b && (text[a] == ' ' || text[a] == '\t'))
        ++a;
    while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t'))
        --b;
    if (a == b)
        return false;
    const std::string digits = text.substr(a, b - a);
    char* end = nullptr;
    errno = 0;
    value = std::strtol(digits.c_str(), &end, 10);
    return errno == 0 && end == digits.c_str() + digits.size() && value >= INT_MIN && value <= INT_MAX;
}

} // namespace

std::string encode(const std::string& xml)
{
    return kMagic + scramble(xml, 0);
}

bool isBinary(const std::string& bytes)
{
    return bytes.compare(0, kMagic.size(), kMagic) == 0;
}

std::string decode(const std::string& binary)
{
    return scramble(binary, kMagic.size());
}

int run(const std::vector<std::string>& args, Host& host)
{
    std::string input;
    std::string output;
    std::string sw;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string s;
        std::string p;
        if (sw.empty() && !input.empty() && splitSwitch(args[i], s, p)) {
            sw = s;
            if (p.empty() && i + 1 < args.size()) // "xml:" "output" given apart
                p = args[++i];
            output = p;
        } else if (input.empty()) {
            input = args[i];
        } else {
            return complain(Usage, "unexpected argument " + args[i]);
        }
    }
    if (input.empty() || output.empty())
        return complain(Usage, "usage: serz.exe \"input\" xml:\"output\"");
    input = host.localPath(input);
    output = host.localPath(output);

    long delay = 0;
    if (parseInt(host.environment("SERZ_DELAY_MS"), delay) && delay > 0)
        host.sleepMs(delay);

    // The run that finds no marker file leaves one and ends as a run through Wine now and then
    // does: status 1, no output, not a word.
    const std::string onceMarker = host.environment("SERZ_FAIL_ONCE");
    if (!onceMarker.empty()) {
        const std::string marker = host.localPath(onceMarker);
        std::string seen;
        if (!host.readFile(marker, seen)) {
            host.writeFile(marker, "failed once\n");
            return 1;
        }
    }

    const std::string failName = host.environment("SERZ_FAIL");
    if (!failName.empty() && lowered(fileName(input)) == lowered(failName))
        return complain(Refused, "told to fail for " + input);

    std::string bytes;
    if (!host.readFile(input, bytes))
        return complain(InputError, "cannot read " + input);
    if (bytes.empty())
        return complain(InputError, "nothing to convert in " + input);

    const bool decoding = isBinary(bytes);
    const std::string xml = decoding ? decode(bytes) : bytes;
    if (xml.find(kFailMarker) != std::string::npos)
        return complain(Refused, "fail marker in " + input);
    const std::string result = decoding ? xml : encode(xml);

    if (!host.writeFile(output, result))
        return complain(OutputError, "cannot write " + output);

    std::printf("serz: %s %s to %s %s\n", decoding ? "decoded" : "encoded", input.c_str(), decoding ? "XML" : "binary",
                output.c_str());
    return Ok;
}

} // namespace serzcore
