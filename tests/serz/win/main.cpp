// serz.exe for tests, the Windows build: the same serializer as the native one (SerzCore.h),
// cross-compiled with mingw-w64 and run through Wine, as the game's own serz.exe is. It reads
// its arguments as Windows gives them ("Z:\tmp\game\a.bin", "D:\Games\..."), in UTF-16, and
// opens them through the Windows API, so paths reach the files through Wine's drive mapping.
// Files are read and written in binary mode.

#include "../SerzCore.h"

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

namespace {

std::string toUtf8(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(std::size_t(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring toWide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 1)
        return std::wstring();
    std::wstring out(std::size_t(n - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n);
    return out;
}

class WindowsHost : public serzcore::Host {
public:
    bool readFile(const std::string& path, std::string& bytes) override
    {
        const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        FILE* f = _wfopen(toWide(path).c_str(), L"rb");
        if (!f)
            return false;
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        const bool ok = !std::ferror(f);
        std::fclose(f);
        return ok;
    }

    // Into a file beside the output first, then moved over it.
    bool writeFile(const std::string& path, const std::string& bytes) override
    {
        const std::wstring target = toWide(path);
        const std::wstring staging = target + L".serz-" + std::to_wstring(GetCurrentProcessId());
        FILE* f = _wfopen(staging.c_str(), L"wb");
        if (!f)
            return false;
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        ok = std::fclose(f) == 0 && ok;
        ok = ok && MoveFileExW(staging.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        if (!ok)
            DeleteFileW(staging.c_str());
        return ok;
    }

    std::string environment(const char* name) const override
    {
        const std::wstring wide = toWide(name);
        const DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
        if (n == 0)
            return std::string();
        std::wstring value(n, L'\0');
        GetEnvironmentVariableW(wide.c_str(), &value[0], n);
        return toUtf8(value.c_str());
    }

    void sleepMs(long ms) override { Sleep(DWORD(ms)); }
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(toUtf8(argv[i]));
    WindowsHost host;
    return serzcore::run(args, host);
}
