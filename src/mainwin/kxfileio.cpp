#include "mainwin/kxfileio.h"

#include "platform/fileservices.h"

namespace bp {

TFileMenuItem::TFileMenuItem(QObject* owner, const QString& fileName, int number)
    : QAction(owner), FFileName(files::exactName(fileName))
{
    SetIndex(number);
}

void TFileMenuItem::SetIndex(int number)
{
    FIndex = number;
    // A literal '&' in the name must not become an access key.
    QString shown = FFileName;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    setText(QLatin1Char('&') + QString::number(number) + QLatin1Char(' ') + shown);
}

static QString asciiUpper(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

bool SameNameAsciiCase(const QString& a, const QString& b)
{
    return a.size() == b.size() && asciiUpper(a) == asciiUpper(b);
}

void AddRecentName(QStringList& list, const QString& name)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (SameNameAsciiCase(files::exactName(list[i]), name)) {
            list.move(i, 0);
            return;
        }
    }
    while (list.size() >= kMaxRecentFiles)
        list.removeLast();
    list.prepend(name);
}

} // namespace bp
