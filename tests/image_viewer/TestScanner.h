#pragma once
// SANE's "test" backend set up for one test: a configuration folder (SANE_CONFIG_DIR) whose
// dll.conf names only that backend (or none) and whose test.conf sets its picture. SANE is
// ended when the object is made and when it goes, so each test reads its own configuration.
// SANE takes the folder's name from the variable once per process, so every test writes into
// the same temporary folder.

#include "hub/Scanner.h"

#include "support/ScopedEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

struct TestScannerSettings {
    int devices = 1;
    QString mode = QStringLiteral("Color"); // Gray or Color
    int depth = 8;
    QString picture = QStringLiteral("Color pattern");
    bool threePass = false;
    bool handScanner = false;
    QString readStatus = QStringLiteral("Default"); // e.g. SANE_STATUS_IO_ERROR
    int resolution = 10; // dots per inch: 10 gives 31 by 39 pixels
};

// The test backend writes its picture from a thread of its own, which sane_cancel ends. Ended
// while it allocates, it leaves the sanitizer's allocator locked; ended while it waits to write
// a picture larger than its pipe, it is harmless. A test that stops a scan early therefore
// scans this larger picture and gives the thread this long to fill the pipe first.
constexpr int kBackendSettleMs = 150;
constexpr int kLargePictureResolution = 100;

class TestScanner {
public:
    // withBackend false: a dll.conf that names no backend, so SANE finds no device.
    explicit TestScanner(const TestScannerSettings& s = {}, bool withBackend = true)
        : env_("SANE_CONFIG_DIR", folder())
    {
        hub::ShutDownScanning();
        hub::SetChosenScanSource(QString());
        const QString folder = TestScanner::folder();
        write(folder + QStringLiteral("/dll.conf"), withBackend ? "test\n" : "# no backend\n");
        // At 10 dots per inch the default 80 by 100 mm area is 31 by 39 pixels.
        const QString conf = QStringLiteral(
                                 "number_of_devices %1\nmode %2\ndepth %3\nhand-scanner %4\nthree-pass %5\n"
                                 "three-pass-order RGB\nresolution_min 1.0\nresolution_max 1200.0\nresolution_quant 1.0\n"
                                 "resolution %9.0\ntest-picture \"%6\"\ninvert-endianess false\nread-limit false\n"
                                 "read-limit-size 1\nread-delay false\nread-delay-duration 1000\nread-status-code \"%7\"\n"
                                 "fuzzy-parameters false\nppl-loss 0\nnon-blocking false\nselect-fd false\n"
                                 "enable-test-options %8\ngeometry_min 0.0\ngeometry_max 200.0\ngeometry_quant 1.0\n"
                                 "tl_x 0.0\ntl_y 0.0\nbr_x 80.0\nbr_y 100.0\n")
                                 .arg(s.devices)
                                 .arg(s.mode)
                                 .arg(s.depth)
                                 .arg(s.handScanner ? "true" : "false")
                                 .arg(s.threePass ? "true" : "false")
                                 .arg(s.picture)
                                 .arg(s.readStatus)
                                 .arg(s.readStatus == QStringLiteral("Default") ? "false" : "true")
                                 .arg(s.resolution);
        write(folder + QStringLiteral("/test.conf"), conf.toLatin1());
    }
    ~TestScanner()
    {
        hub::ShutDownScanning();
        hub::SetChosenScanSource(QString());
    }
    TestScanner(const TestScanner&) = delete;
    TestScanner& operator=(const TestScanner&) = delete;

    // The process's one configuration folder.
    static QString folder()
    {
        static QTemporaryDir dir;
        static const bool kept = keepBackendLoaded();
        (void)kept;
        return dir.path();
    }

private:
    // SANE unloads its backends at sane_exit. The test backend's reader thread, ended by
    // sane_cancel, can leave its buffer behind; with the backend kept loaded, the sanitized run
    // names that library (which its leak suppressions cover) instead of an unloaded module.
    static bool keepBackendLoaded()
    {
        Dl_info info{};
        void* init = dlsym(RTLD_DEFAULT, "sane_init");
        if (!init || !dladdr(init, &info) || !info.dli_fname)
            return false;
        const QByteArray backend = QFile::encodeName(QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath())
                                   + "/sane/libsane-test.so.1";
        return dlopen(backend.constData(), RTLD_NOW | RTLD_LOCAL) != nullptr;
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            ADD_FAILURE() << "Cannot write " << path.toStdString();
    }

    ScopedEnv env_;
};
