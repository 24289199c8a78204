#include "model/brewpaddefs.h"

#include "platform/textutil.h"

#include <QStringList>

#include <stdexcept>

namespace bp {

TDocType DocTypeOfExtension(const QString& ext)
{
    QString e = AsciiUpper(ext);
    if (e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    if (e == QLatin1String("JAVA"))
        return TDocType::Java;
    if (e == QLatin1String("HTM") || e == QLatin1String("HTML"))
        return TDocType::Html;
    if (e == QLatin1String("TXT"))
        return TDocType::Text;
    return TDocType::Other;
}

QString DocTypeExtension(TDocType type)
{
    switch (type) {
    case TDocType::Java:
        return QStringLiteral("java");
    case TDocType::Html:
        return QStringLiteral("html");
    case TDocType::Text:
        return QStringLiteral("txt");
    case TDocType::Other:
        break;
    }
    return QString();
}

TDocTypeList::TDocTypeList()
{
    Fill();
}

void TDocTypeList::Fill()
{
    Clear();
    FEntries.push_back(
        {QStringLiteral("Java"),
         {QStringLiteral("Java files (*.java)|*.java"), DocTypeExtension(TDocType::Java)}});
    FEntries.push_back({QStringLiteral("Html"),
                        {QStringLiteral("Html files (*.htm, *.html)|*.htm;*.html"),
                         DocTypeExtension(TDocType::Html)}});
    FEntries.push_back(
        {QStringLiteral("Text"),
         {QStringLiteral("Text files (*.txt)|*.txt"), DocTypeExtension(TDocType::Text)}});
    FEntries.push_back(
        {QStringLiteral("Other"),
         {QStringLiteral("All files (*.*)|*.*"), DocTypeExtension(TDocType::Other)}});
}

void TDocTypeList::Clear()
{
    FEntries.clear();
}

QString TDocTypeList::Name(int index) const
{
    return FEntries.at(std::size_t(index)).Name;
}

const TDocFilter& TDocTypeList::Filter(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("TDocTypeList: index out of range");
    return FEntries[std::size_t(index)].Filter;
}

int TDocTypeList::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (FEntries[std::size_t(i)].Name == name)
            return i;
    }
    return -1;
}

QString TDocTypeList::SaveDialogFilter(TDocType own) const
{
    QStringList parts;
    const int ownIndex = ordinal(own);
    if (ownIndex < Count())
        parts << FEntries[std::size_t(ownIndex)].Filter.Filter;
    for (int i = 0; i < Count(); ++i) {
        if (i != ownIndex)
            parts << FEntries[std::size_t(i)].Filter.Filter;
    }
    return parts.join(QLatin1Char('|'));
}

QString TDocTypeList::OpenDialogFilter() const
{
    QStringList parts;
    for (const Entry& e : FEntries)
        parts << e.Filter.Filter;
    return parts.join(QLatin1Char('|'));
}

} // namespace bp
