#pragma once

#include <QString>

#include <vector>

namespace bp {

// The kind of a document. The ordinal is an index elsewhere: file-dialog
// filter index = ordinal + 1, project-manager image index = ordinal + 1.
enum class TDocType : unsigned char { Java = 0, Html = 1, Text = 2, Other = 3 };

inline constexpr int kDocTypeCount = 4;

inline int ordinal(TDocType type)
{
    return static_cast<int>(type);
}

// The type of a file extension, with or without its leading dot, ignoring
// the case of ASCII letters: "java", ".HTM", "Txt"... Anything else is Other.
TDocType DocTypeOfExtension(const QString& ext);

// "java", "html", "txt", or empty for Other; never with a dot.
QString DocTypeExtension(TDocType type);

// A document type's file-dialog filter ("description|patterns") and its
// default extension.
struct TDocFilter {
    QString Filter;
    QString DefaultExt;
};

// The table of the four document types in ordinal order, each named
// "Java", "Html", "Text" or "Other" and carrying its TDocFilter.
class TDocTypeList {
public:
    TDocTypeList(); // filled at once
    // Empties the table and adds the four entries again.
    void Fill();
    void Clear();

    int Count() const { return int(FEntries.size()); }
    // The entry's text, i.e. the type's name; index = type ordinal.
    QString Name(int index) const;
    const TDocFilter& Filter(int index) const;
    const TDocFilter& Filter(TDocType type) const { return Filter(ordinal(type)); }
    // Index of the entry with exactly this name, or -1.
    int IndexOf(const QString& name) const;

    // The save dialog's filter: the type's own filter first, then the
    // others in table order, joined by "|".
    QString SaveDialogFilter(TDocType own) const;
    // The open dialog's filter: every type in table order, joined by "|".
    QString OpenDialogFilter() const;

private:
    struct Entry {
        QString Name;
        TDocFilter Filter;
    };
    std::vector<Entry> FEntries;
};

} // namespace bp
