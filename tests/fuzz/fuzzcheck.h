#pragma once

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A broken rule ends the run as a crash, which libFuzzer reports with the
// input that caused it; the message says which rule it was.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: rule broken: %s\n", __FILE__, __LINE__, #cond);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace bp::fuzz {

// The fuzzer's bytes as a byte array, copied: Qt must not keep a pointer
// into the fuzzer's buffer.
inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Makes dir the current directory for one input and the old one current
// again afterwards: libFuzzer reads its corpus by the paths it was given,
// relative ones included.
class CurrentDirScope {
public:
    explicit CurrentDirScope(const QString& dir) : FOld(QDir::currentPath())
    {
        if (!QDir::setCurrent(dir))
            std::abort();
    }
    ~CurrentDirScope() { QDir::setCurrent(FOld); }
    CurrentDirScope(const CurrentDirScope&) = delete;
    CurrentDirScope& operator=(const CurrentDirScope&) = delete;

private:
    QString FOld;
};

} // namespace bp::fuzz
