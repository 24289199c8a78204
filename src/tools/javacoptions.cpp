#include "tools/javacoptions.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace bp {

QStringList JavacArguments(const TJavacOptions& options, const QString& sourcePath)
{
    QStringList args = QProcess::splitCommand(options.Options);
    const auto add = [&](const char* option, const QString& value) {
        if (!value.isEmpty())
            args << QString::fromLatin1(option) << value;
    };
    add("-classpath", options.ClassPath);
    add("-d", options.OutputDir);
    add("-sourcepath", options.SourceRoot);
    args << sourcePath;
    return args;
}

namespace {

// Reads a Java text's first tokens: blanks and comments are skipped.
class TJavaScanner {
public:
    explicit TJavaScanner(const QString& text) : FText(text) {}

    // Skips blanks and comments; false at the end of the text or in an
    // unclosed comment.
    bool skipBlanks()
    {
        for (;;) {
            while (FAt < FText.size() && FText[FAt].isSpace())
                ++FAt;
            if (FText.mid(FAt, 2) == QLatin1String("//")) {
                const qsizetype end = FText.indexOf(QLatin1Char('\n'), FAt);
                FAt = end < 0 ? FText.size() : end + 1;
            } else if (FText.mid(FAt, 2) == QLatin1String("/*")) {
                const qsizetype end = FText.indexOf(QLatin1String("*/"), FAt + 2);
                if (end < 0)
                    return false;
                FAt = end + 2;
            } else {
                return FAt < FText.size();
            }
        }
    }

    static bool isIdentifierChar(QChar c)
    {
        return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
    }

    // The identifier at the current place (after blanks), or empty.
    QString identifier()
    {
        if (!skipBlanks() || FText[FAt].isDigit())
            return QString();
        const qsizetype from = FAt;
        while (FAt < FText.size() && isIdentifierChar(FText[FAt]))
            ++FAt;
        return FText.mid(from, FAt - from);
    }

    // Takes c when it comes next (after blanks).
    bool take(QChar c)
    {
        if (!skipBlanks() || FText[FAt] != c)
            return false;
        ++FAt;
        return true;
    }

    // Skips an annotation's name and arguments after its '@'.
    bool skipAnnotation()
    {
        do {
            if (identifier().isEmpty())
                return false;
        } while (take(QLatin1Char('.')));
        if (!take(QLatin1Char('(')))
            return true;
        for (int depth = 1; depth > 0; ++FAt) {
            if (FAt >= FText.size())
                return false;
            if (FText[FAt] == QLatin1Char('('))
                ++depth;
            else if (FText[FAt] == QLatin1Char(')'))
                --depth;
        }
        return true;
    }

private:
    const QString& FText;
    qsizetype FAt = 0;
};

} // namespace

QString JavaPackageName(const QString& text)
{
    TJavaScanner scan(text);
    while (scan.take(QLatin1Char('@'))) {
        if (!scan.skipAnnotation())
            return QString();
    }
    if (scan.identifier() != QLatin1String("package"))
        return QString();
    QStringList parts;
    do {
        const QString part = scan.identifier();
        if (part.isEmpty())
            return QString();
        parts << part;
    } while (scan.take(QLatin1Char('.')));
    return scan.take(QLatin1Char(';')) ? parts.join(QLatin1Char('.')) : QString();
}

QString JavaSourceRoot(const QString& sourcePath, const QString& text)
{
    const QString package = JavaPackageName(text);
    if (package.isEmpty())
        return QString();
    QString dir = QFileInfo(sourcePath).absolutePath();
    const QStringList parts = package.split(QLatin1Char('.'));
    for (auto it = parts.crbegin(); it != parts.crend(); ++it) {
        const qsizetype slash = dir.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || QStringView(dir).mid(slash + 1) != *it)
            return QString();
        dir.truncate(slash);
    }
    return dir.isEmpty() ? QStringLiteral("/") : dir;
}

} // namespace bp
